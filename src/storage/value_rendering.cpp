#include "storage/value_rendering.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace tomo {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The value of the digits of an &H, &O, &Q or &B number (or & followed by octal digits).
double PrefixedInteger(std::string_view digits, int base) {
  double value = 0;
  for (const char c : digits) {
    int d = base;
    if (IsDigit(c)) {
      d = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      d = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      d = c - 'A' + 10;
    }
    if (d >= base) break;
    value = value * base + d;
  }
  return value;
}

double AmpersandNumber(std::string_view text) {
  if (text.size() < 2) return 0;
  switch (text[1]) {
    case 'H':
    case 'h':
      return PrefixedInteger(text.substr(2), 16);
    case 'O':
    case 'o':
    case 'Q':
    case 'q':
      return PrefixedInteger(text.substr(2), 8);
    case 'B':
    case 'b':
      return PrefixedInteger(text.substr(2), 2);
    default:
      return IsDigit(text[1]) ? PrefixedInteger(text.substr(1), 8) : 0;
  }
}

std::size_t CountDigits(std::string_view text, std::size_t from) {
  std::size_t end = from;
  while (end < text.size() && IsDigit(text[end])) ++end;
  return end - from;
}

// Whether a number too large or too small for a double is large: the power of ten of its
// first significant digit, plus the exponent, is positive.
bool IsHuge(std::string_view mantissa, std::string_view exponent) {
  std::int64_t lead = 0;
  const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
  const std::size_t first = mantissa.find_first_of("123456789");
  if (first == std::string_view::npos) return false;
  lead = first < point ? static_cast<std::int64_t>(point - first) - 1
                       : -static_cast<std::int64_t>(first - point);
  std::int64_t power = 0;
  const bool negative = !exponent.empty() && exponent[0] == '-';
  for (const char c : exponent) {
    if (IsDigit(c)) power = std::min<std::int64_t>(power * 10 + (c - '0'), 1'000'000'000);
  }
  return lead + (negative ? -power : power) > 0;
}

// The longest leading decimal number: sign, digits, point and fraction, E or D exponent.
// Numbers are read as double-precision numbers, so a long decimal text rounds as a double
// does ("0.50000000000000001" reads as 0.5, which rounds to 0), and a fraction without
// integer digits such as ".6" counts as a number. Both are deliberate.
double DecimalNumber(std::string_view text) {
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) ++i;
  const std::size_t start = i;
  std::size_t digits = CountDigits(text, i);
  i += digits;
  if (i < text.size() && text[i] == '.') {
    const std::size_t fraction = CountDigits(text, i + 1);
    digits += fraction;
    i += 1 + fraction;
  }
  if (digits == 0) return 0;
  const std::string_view mantissa = text.substr(start, i - start);
  std::string_view exponent;
  if (i < text.size() && std::string_view("EeDd").find(text[i]) != std::string_view::npos) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '-' || text[j] == '+')) ++j;
    const std::size_t exponentDigits = CountDigits(text, j);
    if (exponentDigits > 0) exponent = text.substr(i + 1, j + exponentDigits - i - 1);
  }
  // Most stored numbers are a few digits alone, exact in a double without a conversion.
  if (exponent.empty() && digits == mantissa.size() && digits <= 15) {
    std::int64_t whole = 0;
    for (const char c : mantissa) whole = whole * 10 + (c - '0');
    return negative ? -static_cast<double>(whole) : static_cast<double>(whole);
  }
  std::string number(mantissa);
  if (!exponent.empty())
    number += 'e' + std::string(exponent[0] == '+' ? exponent.substr(1) : exponent);
  double value = 0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    value = IsHuge(mantissa, exponent) ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return negative ? -value : value;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// Option i of the list (counted from the right when negative); empty when there is none.
// Options are counted only for a negative i: an export shows millions of values, most of
// them early options.
std::string_view ArrayOption(std::string_view options, double i) {
  const std::string_view list = TrimBlanks(options);
  if (list.empty()) return {};
  if (i <= -1) {
    const auto count = static_cast<double>(std::count(list.begin(), list.end(), '|') + 1);
    if (i < -count) return {};
    i = count + 1 + i;
  }
  // No list has more options than bytes.
  if (!(i >= 1 && i <= static_cast<double>(list.size()))) return {};
  std::size_t start = 0;
  for (auto k = static_cast<std::size_t>(i); k > 1; --k) {
    const std::size_t bar = list.find('|', start);
    if (bar == std::string_view::npos) return {};
    start = bar + 1;
  }
  return list.substr(start, list.find('|', start) - start);
}

constexpr std::array<std::string_view, 3> kLogicTexts = {"no", "si", ""};

}  // namespace

double ReadNumber(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && (text[start] == ' ' || text[start] == '\t' || text[start] == '\r' ||
                                 text[start] == '\n')) {
    ++start;
  }
  if (start == text.size()) return 0;
  text = text.substr(start);
  return text[0] == '&' ? AmpersandNumber(text) : DecimalNumber(text);
}

double RoundHalfEven(double value) {
  if (!std::isfinite(value)) return value;
  const double below = std::floor(value);
  const double rest = value - below;
  if (rest > 0.5) return below + 1;
  if (rest < 0.5) return below;
  return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

std::string_view RenderValue(const FieldDef& field, std::string_view stored) {
  switch (field.Type) {
    case kLogic: {
      // Only 0, 1 and 2 have a text; any other number shows an empty cell.
      const double n = RoundHalfEven(ReadNumber(stored));
      if (n >= 0 && n <= 2) return kLogicTexts[static_cast<std::size_t>(n)];
      return {};
    }
    case kArray:
      return ArrayOption(field.Options, RoundHalfEven(ReadNumber(stored) - 99));
    default:
      return TrimBlanks(stored);
  }
}

}  // namespace tomo
