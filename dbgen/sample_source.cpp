#include "sample_source.h"

#include <array>
#include <stdexcept>

namespace tomo::format {

namespace {

constexpr std::array<std::string_view, 10> kTypeNames = {
    "PHONETICS",    "DECIMAL",      "INTEGER",           "STRING", "LOGIC", "MEMO",
    "CURRENT TIME", "CURRENT DATE", "DATE OF ANTIQUITY", "ARRAY"};

// The code points that Windows-1252 places at bytes 0x80..0x9F (0 where it has none).
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::int16_t TypeCode(std::string_view name) {
  for (std::size_t code = 0; code < kTypeNames.size(); ++code) {
    if (kTypeNames[code] == name) return static_cast<std::int16_t>(code);
  }
  throw std::runtime_error("unknown field type " + std::string(name));
}

// A value or an option list; double quotes around it keep its blanks at both ends.
std::string ParseValue(std::string_view text) {
  text = Trim(text);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    text = text.substr(1, text.size() - 2);
  }
  return ToWindows1252(text);
}

FieldSpec ParseField(std::string_view text) {
  std::array<std::string_view, 3> parts;
  for (std::string_view& part : parts) {
    const std::size_t end = text.find(';');
    if (end == std::string_view::npos && &part != &parts.back()) {
      throw std::runtime_error("a field needs a name, a type and search or nosearch");
    }
    part = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  if (parts[2] != "search" && parts[2] != "nosearch") {
    throw std::runtime_error("search or nosearch expected");
  }
  return FieldSpec{ToWindows1252(parts[0]), TypeCode(parts[1]), ParseValue(text),
                   parts[2] == "search" ? 1 : 0};
}

}  // namespace

std::string ToWindows1252(std::string_view utf8) {
  std::string bytes;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (i + length > utf8.size()) throw std::runtime_error("broken UTF-8");
    char32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (std::size_t k = 1; k < length; ++k) {
      code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    }
    i += length;
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
      bytes += static_cast<char>(code);
      continue;
    }
    std::size_t k = 0;
    while (k < kHighControls.size() && kHighControls[k] != code) ++k;
    if (k == kHighControls.size())
      throw std::runtime_error("character without a Windows-1252 byte");
    bytes += static_cast<char>(0x80 + k);
  }
  return bytes;
}

DatabaseSpec ParseSampleSource(std::string_view source) {
  DatabaseSpec database;
  std::string* lastValue = nullptr;
  int number = 0;
  while (!source.empty()) {
    const std::size_t end = source.find('\n');
    const std::string_view line = source.substr(0, end);
    source = end == std::string_view::npos ? std::string_view() : source.substr(end + 1);
    ++number;
    try {
      const std::string_view text = Trim(line);
      if (text.empty() || text.front() == '#') continue;
      if (text.starts_with("field ")) {
        if (!database.records.empty()) throw std::runtime_error("fields come before records");
        database.fields.push_back(ParseField(text.substr(6)));
      } else if (text.starts_with("record ")) {
        database.records.push_back(
            RecordSpec{std::stoll(std::string(text.substr(7))),
                       std::vector<std::optional<std::string>>(database.fields.size())});
        lastValue = nullptr;
      } else if (text.starts_with("+ ") || text == "+") {
        if (!lastValue) throw std::runtime_error("nothing to continue");
        *lastValue += "\r\n" + ParseValue(text.substr(1));
      } else {
        const std::size_t colon = text.find(": ");
        if (database.records.empty() || colon == std::string_view::npos) {
          throw std::runtime_error("\"Field: value\" inside a record expected");
        }
        const std::string name = ToWindows1252(text.substr(0, colon));
        std::size_t f = 0;
        while (f < database.fields.size() && database.fields[f].name != name) ++f;
        if (f == database.fields.size()) throw std::runtime_error("unknown field " + name);
        auto& value = database.records.back().values[f];
        value = ParseValue(text.substr(colon + 2));
        lastValue = &*value;
      }
    } catch (const std::exception& error) {
      throw std::runtime_error("line " + std::to_string(number) + ": " + error.what());
    }
  }
  return database;
}

}  // namespace tomo::format
