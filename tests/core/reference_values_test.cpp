// The reference's rendering of values against the program's.
#include "support/reference_values.h"

#include <gtest/gtest.h>

#include "storage/value_rendering.h"
#include "support/number_texts.h"

namespace tomo::testing {
namespace {

// The reference's rendering and the program's, on the rules' own examples and on number
// texts read as double-precision numbers; and the numbers both read.
TEST(ReferenceValues, ShowTheRulesExamplesAsTheProgramDoes) {
  const FieldDef logic{"L", kLogic, "", 1};
  const FieldDef colours{"C", kArray, "rojo|verde|azul", 1};
  const FieldDef blanks{"B", kArray, " a | b ", 1};
  const FieldDef date{"D", kDateOfAntiquity, "", 1};
  // clang-format off
  const struct {
    const FieldDef& field;
    std::string stored;
    std::string shown;
  } cases[] = {
      {logic, "1", "si"}, {logic, "0", "no"}, {logic, "0.4", "no"}, {logic, "0.6", "si"},
      {logic, ".6", "si"}, {logic, "0.5", "no"}, {logic, "1.5", ""}, {logic, "2", ""},
      {logic, "No datos", "no"}, {logic, "0.50000000000000001", "no"},
      {logic, "&B1", "si"}, {logic, " \r\n1e0", "si"},
      {colours, "100", "rojo"}, {colours, "102", "azul"}, {colours, "103", ""},
      {colours, "99", ""}, {colours, "98", "azul"}, {colours, "97", "verde"},
      {colours, "No datos", ""}, {colours, "&H65", "verde"}, {colours, "&o146", "azul"},
      {colours, "&146", "azul"}, {colours, "1.01D2", "verde"},
      {colours, "100.49999999999999999", "verde"}, {colours, "1e400", ""}, {colours, "-1e400", ""},
      {blanks, "100", "a "}, {blanks, "101", " b"}, {date, "  12/05/1990 ", "12/05/1990"}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.field.Name + " '" + c.stored + "'");
    EXPECT_EQ(reference::ShownText(c.field, c.stored), c.shown);
    EXPECT_EQ(RenderValue(c.field, c.stored), c.shown);
  }
  for (const std::string& text : kNumberTexts) {
    EXPECT_EQ(reference::ReadNumber(text), ReadNumber(text)) << text;
  }
}

}  // namespace
}  // namespace tomo::testing
