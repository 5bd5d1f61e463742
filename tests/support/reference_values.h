// How the reference shows a stored value, by the field's type: LOGIC as "no", "si" or
// nothing, ARRAY as the option its number selects, every other type as the stored text
// without the blanks at its ends.
#pragma once

#include <string>
#include <string_view>

#include "shell/app.h"

namespace tomo::testing::reference {

inline constexpr std::string_view kNoData = "No datos";

// The number a stored text holds, read as a double; 0 when it does not begin with one.
double ReadNumber(std::string_view text);
// The text a cell shows for a stored value (or "No datos") of the field.
std::string ShownText(const FieldDef& field, std::string_view stored);

}  // namespace tomo::testing::reference
