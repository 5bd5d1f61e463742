#include "export/typed_value.h"

#include <charconv>
#include <cmath>
#include <optional>

#include "storage/field_def.h"

namespace tomo {

namespace {

// The text's whole as a number of type T whose spelling by to_chars(args...) is the text.
template <typename T, typename... Format>
std::optional<T> SpelledExactly(std::string_view text, Format... format) {
  T number{};
  const char* end = text.data() + text.size();
  const auto read = std::from_chars(text.data(), end, number, format...);
  if (read.ec != std::errc() || read.ptr != end) return std::nullopt;
  char spelled[400];  // the longest fixed-point double is under 330 characters
  const auto written = std::to_chars(spelled, spelled + sizeof spelled, number, format...);
  if (written.ec != std::errc() || std::string_view(spelled, written.ptr) != text) {
    return std::nullopt;
  }
  return number;
}

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Two or four digits of `text` from `at` as a number; -1 when one is not a digit.
int Digits(std::string_view text, std::size_t at, std::size_t count) {
  int number = 0;
  for (std::size_t k = at; k < at + count; ++k) {
    if (text[k] < '0' || text[k] > '9') return -1;
    number = number * 10 + (text[k] - '0');
  }
  return number;
}

// dd/mm/yyyy as YYYY-MM-DD when it names a day.
std::optional<std::array<char, 10>> IsoDate(std::string_view text) {
  if (text.size() != 10 || text[2] != '/' || text[5] != '/') return std::nullopt;
  const int day = Digits(text, 0, 2);
  const int month = Digits(text, 3, 2);
  const int year = Digits(text, 6, 4);
  if (day < 1 || month < 1 || month > 12 || year < 1) return std::nullopt;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const int days = kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
  if (day > days) return std::nullopt;
  return std::array<char, 10>{text[6], text[7], text[8], text[9], '-',
                              text[3], text[4], '-',     text[0], text[1]};
}

}  // namespace

TypedValue TypeValue(std::int16_t type, std::string_view shown) {
  TypedValue value;
  value.text = shown;
  switch (type) {
    case kInteger:
    case kDecimal:
      if (const auto integer = SpelledExactly<std::int64_t>(shown)) {
        value.kind = TypedValue::Kind::kInteger;
        value.integer = *integer;
        break;
      }
      if (type != kDecimal) break;
      if (const auto real = SpelledExactly<double>(shown, std::chars_format::fixed);
          real && std::isfinite(*real)) {
        value.kind = TypedValue::Kind::kReal;
        value.real = *real;
      }
      break;
    case kLogic:
      if (shown == "si" || shown == "no") {
        value.kind = TypedValue::Kind::kBoolean;
        value.integer = shown == "si" ? 1 : 0;
        value.text = shown == "si" ? "true" : "false";
      }
      break;
    case kCurrentDate:
    case kDateOfAntiquity:
      if (const auto date = IsoDate(shown)) value.date = *date;
      break;
    default:
      break;
  }
  return value;
}

}  // namespace tomo
