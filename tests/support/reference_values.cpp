#include "support/reference_values.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

namespace tomo::testing::reference {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The value of a digit in bases up to 16; 16 for anything else.
int DigitValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 16;
}

// The number after an &: &H hexadecimal, &O and &Q octal, &B binary, & and digits octal.
// Its digits end at the first character that is not a digit of the base.
double PrefixedNumber(std::string_view afterAmpersand) {
  if (afterAmpersand.empty()) return 0;
  int base = 8;
  std::string_view digits = afterAmpersand.substr(1);
  switch (afterAmpersand[0]) {
    case 'H':
    case 'h':
      base = 16;
      break;
    case 'O':
    case 'o':
    case 'Q':
    case 'q':
      break;
    case 'B':
    case 'b':
      base = 2;
      break;
    default:
      if (!IsDigit(afterAmpersand[0])) return 0;
      digits = afterAmpersand;
  }
  double value = 0;
  for (const char c : digits) {
    if (DigitValue(c) >= base) break;
    value = value * base + DigitValue(c);
  }
  return value;
}

// The longest leading decimal number: an optional sign, digits with an optional point
// among or before them, and an exponent after E or D (either case) when digits follow it.
// All digits are gathered into one integer with a power of ten and converted once, so the
// text rounds as a double does.
double DecimalNumber(std::string_view text) {
  std::size_t at = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) ++at;
  std::string digits;
  std::int64_t power = 0;
  for (; at < text.size() && IsDigit(text[at]); ++at) digits += text[at];
  if (at < text.size() && text[at] == '.') {
    for (++at; at < text.size() && IsDigit(text[at]); ++at, --power) digits += text[at];
  }
  if (digits.empty()) return 0;
  if (at < text.size() && std::string_view("EeDd").find(text[at]) != std::string_view::npos) {
    std::size_t e = at + 1;
    const bool down = e < text.size() && text[e] == '-';
    if (e < text.size() && (text[e] == '-' || text[e] == '+')) ++e;
    std::int64_t exponent = 0;
    const std::size_t first = e;
    for (; e < text.size() && IsDigit(text[e]); ++e) {
      exponent = std::min<std::int64_t>(exponent * 10 + (text[e] - '0'), 1'000'000'000);
    }
    if (e > first) power += down ? -exponent : exponent;
  }
  digits.erase(0, digits.find_first_not_of('0'));
  // The number lies below 10 to the power `magnitude`, and at or above a tenth of it.
  const std::int64_t magnitude = static_cast<std::int64_t>(digits.size()) + power;
  double value = 0;
  if (digits.empty() || magnitude < -400) {
    value = 0;
  } else if (magnitude > 400) {
    value = kInfinity;
  } else {
    value = std::strtod((digits + "e" + std::to_string(power)).c_str(), nullptr);
  }
  return negative ? -value : value;
}

// To the nearest integer, halves to the even one: the default rounding of the processor.
double Rounded(double value) {
  return std::nearbyint(value);
}

std::string_view WithoutEndBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::string LogicText(double n) {
  constexpr std::array<std::string_view, 3> kTexts = {"no", "si", ""};
  // A number without an entry in the table shows an empty cell.
  if (n == 0 || n == 1 || n == 2) return std::string(kTexts[static_cast<std::size_t>(n)]);
  return {};
}

// Option i of the option list (its blanks at both ends removed, options separated by "|"),
// counted from the right when i is negative; empty when there is no such option.
std::string ArrayOption(std::string_view optionList, double i) {
  const std::string_view list = WithoutEndBlanks(optionList);
  if (list.empty()) return {};
  std::vector<std::string_view> options;
  for (std::size_t start = 0;;) {
    const std::size_t bar = list.find('|', start);
    options.push_back(list.substr(start, bar - start));
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  const auto count = static_cast<double>(options.size());
  const double number = i >= 1 ? i : count + 1 + i;  // i = 0 gives count + 1: no option
  if (number < 1 || number > count) return {};
  return std::string(options[static_cast<std::size_t>(number) - 1]);
}

}  // namespace

double ReadNumber(std::string_view text) {
  while (!text.empty() && std::string_view(" \t\r\n").find(text[0]) != std::string_view::npos) {
    text.remove_prefix(1);
  }
  if (!text.empty() && text[0] == '&') return PrefixedNumber(text.substr(1));
  return DecimalNumber(text);
}

std::string ShownText(const FieldDef& field, std::string_view stored) {
  switch (field.Type) {
    case 4:  // LOGIC
      return LogicText(Rounded(ReadNumber(stored)));
    case 9:  // ARRAY
      return ArrayOption(field.Options, Rounded(ReadNumber(stored) - 99));
    default:
      return std::string(WithoutEndBlanks(stored));
  }
}

}  // namespace tomo::testing::reference
