#include "storage/value_rendering.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tomo {
namespace {

FieldDef Field(std::int16_t type, std::string options = "") {
  FieldDef field;
  field.Type = type;
  field.Options = std::move(options);
  return field;
}

TEST(ReadNumber, DecimalNumbersAndTheirLongestLeadingPart) {
  EXPECT_EQ(ReadNumber("42"), 42);
  EXPECT_EQ(ReadNumber(" \t\r\n-3.5xyz"), -3.5);
  EXPECT_EQ(ReadNumber("+.25"), 0.25);
  EXPECT_EQ(ReadNumber("7."), 7);
  EXPECT_EQ(ReadNumber("1.5E2"), 150);
  EXPECT_EQ(ReadNumber("1.5d+2"), 150);
  EXPECT_EQ(ReadNumber("25e-1"), 2.5);
  EXPECT_EQ(ReadNumber("3e"), 3);  // an exponent without digits is not part of it
  EXPECT_EQ(ReadNumber("3e+x"), 3);
  EXPECT_EQ(ReadNumber("12 34"), 12);
  EXPECT_EQ(ReadNumber("No datos"), 0);
  EXPECT_EQ(ReadNumber(""), 0);
  EXPECT_EQ(ReadNumber("-"), 0);
  EXPECT_EQ(ReadNumber("."), 0);
  EXPECT_EQ(ReadNumber(" x1"), 0);
  // Whole numbers of up to 15 digits are read without a conversion: the same values.
  EXPECT_EQ(ReadNumber("007"), 7);
  EXPECT_EQ(ReadNumber("-999999999999999"), -999999999999999.0);
  EXPECT_EQ(ReadNumber("99999999999999999999"), 1e20);
  EXPECT_EQ(ReadNumber("0000000000000000042"), 42);
  EXPECT_TRUE(std::signbit(ReadNumber("-0")));
}

TEST(ReadNumber, PrefixedIntegers) {
  EXPECT_EQ(ReadNumber("&H65"), 101);
  EXPECT_EQ(ReadNumber("&hfF"), 255);
  EXPECT_EQ(ReadNumber("&O17"), 15);
  EXPECT_EQ(ReadNumber("&q17"), 15);
  EXPECT_EQ(ReadNumber("&B101"), 5);
  EXPECT_EQ(ReadNumber("&144"), 100);  // & and digits: octal
  EXPECT_EQ(ReadNumber("&178"), 15);   // up to the first digit that is not octal
  EXPECT_EQ(ReadNumber("&H"), 0);
  EXPECT_EQ(ReadNumber("&X1"), 0);
  EXPECT_EQ(ReadNumber("&"), 0);
}

TEST(ReadNumber, HugeAndTinyNumbersStayDefined) {
  EXPECT_TRUE(std::isinf(ReadNumber("1e400")));
  EXPECT_LT(ReadNumber("-1e400"), 0);
  EXPECT_TRUE(std::isinf(ReadNumber(std::string(400, '9'))));
  EXPECT_EQ(ReadNumber("1e-400"), 0);
  EXPECT_EQ(ReadNumber("0." + std::string(400, '0') + "1"), 0);
  EXPECT_EQ(ReadNumber("1e99999999999999999999999"), std::numeric_limits<double>::infinity());
  EXPECT_TRUE(std::isinf(ReadNumber("&H" + std::string(300, 'F'))));
  EXPECT_EQ(ReadNumber("1e300"), 1e300);
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(0.4), 0);
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(0.6), 1);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(-0.5), 0);
  EXPECT_EQ(RoundHalfEven(-1.5), -2);
  EXPECT_EQ(RoundHalfEven(-2.6), -3);
  EXPECT_EQ(RoundHalfEven(1e300), 1e300);
  EXPECT_TRUE(std::isnan(RoundHalfEven(std::nan(""))));
}

TEST(RenderValue, LogicShowsNoSiOrNothing) {
  const FieldDef logic = Field(kLogic);
  EXPECT_EQ(RenderValue(logic, "1"), "si");
  EXPECT_EQ(RenderValue(logic, "0"), "no");
  EXPECT_EQ(RenderValue(logic, "0.4"), "no");
  EXPECT_EQ(RenderValue(logic, "0.6"), "si");
  EXPECT_EQ(RenderValue(logic, "0.5"), "no");
  EXPECT_EQ(RenderValue(logic, "1.5"), "");
  EXPECT_EQ(RenderValue(logic, "2"), "");
  EXPECT_EQ(RenderValue(logic, "No datos"), "no");
  EXPECT_EQ(RenderValue(logic, "&H1"), "si");
  // Numbers without a text: an empty cell, also for the huge ones.
  EXPECT_EQ(RenderValue(logic, "3"), "");
  EXPECT_EQ(RenderValue(logic, "-1"), "");
  EXPECT_EQ(RenderValue(logic, "1e300"), "");
  EXPECT_EQ(RenderValue(logic, "-1e400"), "");
}

TEST(RenderValue, ArraySelectsAnOptionByTheStoredNumber) {
  const FieldDef colors = Field(kArray, "rojo|verde|azul");
  EXPECT_EQ(RenderValue(colors, "100"), "rojo");
  EXPECT_EQ(RenderValue(colors, "102"), "azul");
  EXPECT_EQ(RenderValue(colors, "103"), "");
  EXPECT_EQ(RenderValue(colors, "99"), "");
  EXPECT_EQ(RenderValue(colors, "98"), "azul");
  EXPECT_EQ(RenderValue(colors, "97"), "verde");
  EXPECT_EQ(RenderValue(colors, "96"), "rojo");
  EXPECT_EQ(RenderValue(colors, "95"), "");
  EXPECT_EQ(RenderValue(colors, "No datos"), "");
  EXPECT_EQ(RenderValue(colors, "&H65"), "verde");
  // 1.5 and 2.5 both round to option 2.
  EXPECT_EQ(RenderValue(colors, "100.5"), "verde");
  EXPECT_EQ(RenderValue(colors, "101.5"), "verde");
  EXPECT_EQ(RenderValue(colors, "1e300"), "");
  EXPECT_EQ(RenderValue(colors, "-1e300"), "");
  // Blanks around the list go, blanks inside it stay.
  const FieldDef blanks = Field(kArray, " a | b ");
  EXPECT_EQ(RenderValue(blanks, "100"), "a ");
  EXPECT_EQ(RenderValue(blanks, "101"), " b");
  EXPECT_EQ(RenderValue(Field(kArray, "   "), "100"), "");
  EXPECT_EQ(RenderValue(Field(kArray, "a||b"), "101"), "");
  EXPECT_EQ(RenderValue(Field(kArray, "a||b"), "102"), "b");
  // Past the last option, whether or not the list has that many bytes.
  EXPECT_EQ(RenderValue(Field(kArray, "a|b"), "102"), "");
  EXPECT_EQ(RenderValue(Field(kArray, "|"), "101"), "");
  EXPECT_EQ(RenderValue(Field(kArray, "|"), "102"), "");
}

TEST(RenderValue, OtherTypesAreTrimmedOfBlanksOnly) {
  EXPECT_EQ(RenderValue(Field(kDateOfAntiquity), "  12/05/1990 "), "12/05/1990");
  EXPECT_EQ(RenderValue(Field(kString), "\tAna \r"), "\tAna \r");
  EXPECT_EQ(RenderValue(Field(kDecimal), " 1.50 "), "1.50");
  EXPECT_EQ(RenderValue(Field(kMemo), "   "), "");
  EXPECT_EQ(RenderValue(Field(77), " x "), "x");
  EXPECT_EQ(RenderValue(Field(kString), "No datos"), "No datos");
}

// The export passes over the values ShownAsStored claims: each must render as itself.
TEST(RenderValue, ShownAsStoredExactlyWhenTheValueRendersAsItself) {
  for (const int type :
       std::initializer_list<int>{kString, kDecimal, kLogic, kMemo, kArray, kDateOfAntiquity, 77}) {
    for (const std::string_view stored :
         {"", "x", "Ana", " Ana", "Ana ", " ", "1", "0", "100", "\tAna\r", "a b"}) {
      const FieldDef field = Field(static_cast<std::int16_t>(type), "uno|dos");
      const std::string_view shown = RenderValue(field, stored);
      const bool itself = shown.data() == stored.data() && shown.size() == stored.size();
      if (ShownAsStored(field, stored)) {
        EXPECT_TRUE(itself || (stored.empty() && shown.empty()))
            << "type " << type << ", \"" << stored << "\"";
      }
    }
  }
  EXPECT_TRUE(ShownAsStored(Field(kString), "a b"));
  EXPECT_TRUE(ShownAsStored(Field(kMemo), ""));
}

}  // namespace
}  // namespace tomo
