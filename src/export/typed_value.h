// A value in its field's type, for `export --typed`: a number, a truth value or an ISO date
// where the field's type says so and the shown text reads exactly as one; otherwise the text
// as shown, so that nothing is lost or invented.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tomo {

struct TypedValue {
  enum class Kind { kText, kInteger, kReal, kBoolean };
  Kind kind = Kind::kText;
  std::int64_t integer = 0;     // kInteger; kBoolean as 1 or 0
  double real = 0;              // kReal
  std::string_view text;        // the shown text; "true" or "false" for kBoolean
  std::array<char, 10> date{};  // YYYY-MM-DD for a date, else zero bytes

  // What the value writes as in any format: a date's YYYY-MM-DD, else `text`. A number's
  // text is its own shortest exact spelling, so a writer may use it as the number.
  std::string_view Text() const {
    return date[0] != 0 ? std::string_view(date.data(), date.size()) : text;
  }
};

// The value of a field of type code `type` (FieldType) whose shown text, in UTF-8, is
// `shown`; the result's text views `shown`:
// - INTEGER: an int64 whose decimal spelling is exactly `shown` ("007", "+3", "-0" are text);
// - DECIMAL: such an integer, or a finite double whose shortest fixed-point spelling is
//   exactly `shown` ("12.5" is one; "1.50", "1e5", ".5", "12,5" are text);
// - LOGIC: "si" true, "no" false (the empty third state stays text);
// - CURRENT DATE, DATE OF ANTIQUITY: a valid day of the Gregorian calendar written dd/mm/yyyy
//   (year 0001 on) becomes YYYY-MM-DD;
// - every other type, and every text that reads as none of these: the text.
TypedValue TypeValue(std::int16_t type, std::string_view shown);

}  // namespace tomo
