// Windows code page numbers on Linux: the converter each opens, and the bytes where glibc's
// tables and Windows' differ converted as Windows converts them.
#include <gtest/gtest.h>

#include "export/utf8_text.h"

namespace tomo::cli {
namespace {

using namespace std::string_literals;

TEST(CodePage, ConvertsAsWindows) {
  struct Case {
    int codePage;
    std::string text, utf8;
  };
  const Case cases[] = {
      {65001, "\xC3\xA9", "\xC3\xA9"},
      {20127, "A\x80\xC1", "A\x00\x41"s},
      {28591, "\xE9", "\xC3\xA9"},
      {28605, "\xA4", "\xE2\x82\xAC"},  // euro sign, ISO-8859-15
      {28596, "\xA1", "\xEF\x9F\x88"},  // U+F7C8
      {20866, "\xC1", "\xD0\xB0"},
      {10000, "\xBD",
       "\xE2\x84\xA6"},  // Windows: the ohm sign, where glibc has omega      // KOI8-R: Cyrillic a
      {37, "\xC1\x40", "A "},  // EBCDIC keeps no ASCII as it is
      {1252, "\x80\x81\x8D\x8F\x90\x9D", "\xE2\x82\xAC\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},
      {850, "\x82\xA5\xD5", "\xC3\xA9\xC3\x91\xC4\xB1"},  // é Ñ dotless i
      {1251, "\xC0\x98\xFF", "\xD0\x90\xC2\x98\xD1\x8F"},
      {932, "\x82\xA0\x5C", "\xE3\x81\x82\\"},    // hiragana a, backslash
      {932, "a\x82", "a\xE3\x83\xBB"},            // a lead byte at the end: U+30FB
      {932, "\x81\x01z", "\xE3\x83\xBBz"},        // a pair the table lacks: one U+30FB
      {932, "\x81\x00z"s, "\xE3\x83\xBB\x00z"s},  // the zero is not taken as its pair
      {932, "\x80\xA0\xFD\xFF", "\xC2\x80\xEF\xA3\xB0\xEF\xA3\xB1\xEF\xA3\xB3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.codePage);
    EXPECT_EQ(Utf8Text(c.codePage).Of(c.text), c.utf8);
  }
  EXPECT_FALSE(OpenCodePage(12345));
}

}  // namespace
}  // namespace tomo::cli
