// How a stored value is shown in its cell, by the field's type.
#pragma once

#include <string>
#include <string_view>

#include "storage/field_def.h"

namespace tomo {

// The number a text holds: leading white space, then a decimal number with optional sign,
// fraction and E or D exponent, or &H, &O, &Q, &B or & followed by digits; 0 otherwise.
double ReadNumber(std::string_view text);
// Rounds to the nearest integer, halves to the even neighbour.
double RoundHalfEven(double value);
// The text shown for a stored value (or "No datos") of a field: a part of the stored text, of
// the field's options or a constant, valid as long as the first two are.
std::string_view RenderValue(const FieldDef& field, std::string_view stored);
// Whether RenderValue shows the stored value as it is: most values are, and an export passes
// over them without a call.
inline bool ShownAsStored(const FieldDef& field, std::string_view stored) {
  return field.Type != kLogic && field.Type != kArray &&
         (stored.empty() || (stored.front() != ' ' && stored.back() != ' '));
}

}  // namespace tomo
