// What --typed makes of each type's shown texts: a number, a truth value or a date only when
// the text reads exactly as one, the text unchanged otherwise.
#include "export/typed_value.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "storage/field_def.h"

namespace tomo {
namespace {

using Kind = TypedValue::Kind;

struct Case {
  std::int16_t type;
  std::string shown;
  Kind kind;
  std::string written;       // Text()
  std::int64_t integer = 0;  // also 1 or 0 for a truth value
  double real = 0;
};

TEST(TypedValue, TypesOnlyTextsThatReadExactly) {
  const Case cases[] = {
      {kInteger, "42", Kind::kInteger, "42", 42},
      {kInteger, "-9223372036854775808", Kind::kInteger, "-9223372036854775808",
       std::numeric_limits<std::int64_t>::min()},
      {kInteger, "9223372036854775808", Kind::kText, "9223372036854775808"},
      {kInteger, "007", Kind::kText, "007"},
      {kInteger, "+3", Kind::kText, "+3"},
      {kInteger, "-0", Kind::kText, "-0"},
      {kInteger, "12.5", Kind::kText, "12.5"},
      {kDecimal, "12", Kind::kInteger, "12", 12},
      {kDecimal, "12.5", Kind::kReal, "12.5", 0, 12.5},
      {kDecimal, "0.30000000000000004", Kind::kReal, "0.30000000000000004", 0, 0.30000000000000004},
      {kDecimal, "1.50", Kind::kText, "1.50"},
      {kDecimal, "1e5", Kind::kText, "1e5"},
      {kDecimal, ".5", Kind::kText, ".5"},
      {kDecimal, "12,5", Kind::kText, "12,5"},
      {kDecimal, "inf", Kind::kText, "inf"},
      {kDecimal, "99999999999999999999", Kind::kText, "99999999999999999999"},
      {kLogic, "si", Kind::kBoolean, "true", 1},
      {kLogic, "no", Kind::kBoolean, "false", 0},
      {kLogic, "", Kind::kText, ""},
      {kCurrentDate, "29/02/2000", Kind::kText, "2000-02-29"},
      {kDateOfAntiquity, "31/12/0001", Kind::kText, "0001-12-31"},
      {kCurrentDate, "29/02/1900", Kind::kText, "29/02/1900"},
      {kCurrentDate, "31/04/2020", Kind::kText, "31/04/2020"},
      {kCurrentDate, "01/13/2020", Kind::kText, "01/13/2020"},
      {kCurrentDate, "01/01/0000", Kind::kText, "01/01/0000"},
      {kCurrentDate, "1/1/2020", Kind::kText, "1/1/2020"},
      {kString, "42", Kind::kText, "42"},
      {kArray, "si", Kind::kText, "si"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.type) + " \"" + c.shown + "\"");
    const TypedValue value = TypeValue(c.type, c.shown);
    EXPECT_EQ(value.kind, c.kind);
    EXPECT_EQ(value.Text(), c.written);
    EXPECT_EQ(value.integer, c.integer);
    EXPECT_EQ(value.real, c.real);
  }
}

}  // namespace
}  // namespace tomo
