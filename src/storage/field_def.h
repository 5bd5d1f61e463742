// One field definition as read from the field definition file, and the field types.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tomo {

struct FieldDef {
  std::string Name;             // at most 30 characters
  std::int16_t Type = 0;        // 0..9, see FieldType
  std::string Options;          // at most 12000 characters
  std::int32_t SearchFlag = 0;  // 1: the field can be searched
};

enum FieldType : std::int16_t {
  kPhonetics = 0,
  kDecimal = 1,
  kInteger = 2,
  kString = 3,
  kLogic = 4,
  kMemo = 5,
  kCurrentTime = 6,
  kCurrentDate = 7,
  kDateOfAntiquity = 8,
  kArray = 9,
};

// The types' names in English, by type code.
inline constexpr std::array<std::string_view, 10> kEnglishTypeNames = {
    "PHONETICS",    "DECIMAL",      "INTEGER",           "STRING", "LOGIC", "MEMO",
    "CURRENT TIME", "CURRENT DATE", "DATE OF ANTIQUITY", "ARRAY"};

}  // namespace tomo
