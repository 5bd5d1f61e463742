// The export's text in UTF-8 against the system's converter that it stands for.
#include <gtest/gtest.h>

#include <random>

#include "export/utf8_text.h"

namespace tomo::cli {
namespace {

std::string Converted(const CodePage& converter, const std::string& text) {
  std::string out;
  converter.AppendUtf8(text, out);
  return out;
}

// Every byte alone, between letters and beside every other byte, and random texts: the same
// UTF-8 as the converter makes of the whole text (plain ASCII stays as it is).
TEST(Utf8Text, ConvertsEveryTextAsTheSystemsConverter) {
  struct Case {
    int codePage;
    bool byteByByte;
  };
  // One byte per character (1255 and 1258 too, whose letters glibc holds back to combine);
  // two bytes per character.
  for (const Case c : {Case{1252, true}, Case{850, true}, Case{1251, true}, Case{1253, true},
                       Case{1255, true}, Case{1258, true}, Case{932, false}, Case{936, false}}) {
    SCOPED_TRACE(c.codePage);
    const std::unique_ptr<CodePage> converter = OpenCodePage(c.codePage);
    ASSERT_TRUE(converter);
    EXPECT_EQ(converter->ByteByByte(), c.byteByByte);
    const Utf8Text text(c.codePage);
    std::vector<std::string> samples;
    for (int a = 0; a < 256; ++a) {
      samples.push_back(std::string(1, static_cast<char>(a)));
      samples.push_back("a" + samples.back() + "b");
      for (int b = 0; b < 256; ++b) samples.push_back({static_cast<char>(a), static_cast<char>(b)});
    }
    std::mt19937 random(static_cast<unsigned>(c.codePage));
    for (int k = 0; k < 200; ++k) {
      std::string sample(random() % 40, ' ');
      for (char& ch : sample) ch = static_cast<char>(random());
      samples.push_back(sample);
    }
    int wrong = 0;
    for (const std::string& sample : samples) {
      const bool ascii = std::all_of(sample.begin(), sample.end(),
                                     [](char ch) { return static_cast<unsigned char>(ch) < 0x80; });
      std::string scratch;
      const std::string expected = ascii ? sample : Converted(*converter, sample);
      if (text.Of(sample, scratch) != expected && ++wrong <= 5) ADD_FAILURE() << sample;
    }
    EXPECT_EQ(wrong, 0);
  }
}

// Windows makes each byte of code pages 1255 and 1258 its own character, where glibc's
// converters combine a letter and the accent after it: each stays as stored, and a letter
// held back to combine comes out, also at the text's end and before an unmapped byte.
TEST(Utf8Text, EachByteOfAHebrewOrVietnameseTextIsItsOwnCharacter) {
  const Utf8Text vietnamese(1258);
  EXPECT_EQ(vietnamese.Of("\xC3"
                          "a"),
            "\xC4\x82"
            "a");
  EXPECT_EQ(vietnamese.Of("a\xEC"), "a\xCC\x81");  // a and the combining acute, not á
  EXPECT_EQ(vietnamese.Of("\xC3"
                          "a\x81"),
            "\xC4\x82"
            "a\xC2\x81");
  const Utf8Text hebrew(1255);
  EXPECT_EQ(hebrew.Of("\xE0\xE1"), "\xD7\x90\xD7\x91");  // alef, bet
  EXPECT_EQ(hebrew.Of("\xF9\xD1"), "\xD7\xA9\xD7\x81");  // shin and shin dot, not U+FB2A
  EXPECT_EQ(hebrew.Of("\xE0\xC8"), "\xD7\x90\xD6\xB8");  // alef and qamats, not U+FB2F
}

// The Chinese and Korean double-byte code pages as Windows converts what glibc leaves out:
// the user-defined areas and the holes of 936's table in the private use area, a question
// mark for a lead byte without a second byte that makes a pair, and glibc's converter for 949
// taking a pair it has no character for before it fails, without a crash or a lost byte.
TEST(Utf8Text, DoubleByteTextIsConvertedAsWindowsConvertsIt) {
  struct Case {
    int codePage;
    const char* stored;
    const char* utf8;
  };
  for (const Case c : {Case{949, "\xA2\xE8", "?"}, Case{949, "x\xA2\xE8y", "x?y"},
                       Case{949, "\xA2\xE8\xB0\xA1", "?\xEA\xB0\x80"},
                       Case{949, "\xC9\xA1", "\xEE\x80\x80"},  // U+E000
                       Case{949, "\xFE\xFE", "\xEE\x82\xBB"},  // U+E0BB
                       Case{949, "\xC9\x41", "?"}, Case{949, "\x80\xFF", "\xC2\x80\xEF\xA3\xB7"},
                       Case{936, "\xAA\xA1", "\xEE\x80\x80"},  // U+E000
                       Case{936, "\xA1\x40", "\xEE\x93\x86"},  // U+E4C6
                       Case{936, "\xA2\xAB", "\xEE\x9D\xA6"},  // U+E766, a hole
                       Case{936, "\xFE\xA0", "\xEE\xA1\xA4"},  // U+E864, the last
                       Case{936, "\x81\x20z", "?z"}, Case{936, "a\x81", "a?"},
                       Case{950, "\xFA\x40", "\xEE\x80\x80"},  // U+E000
                       Case{950, "\x81\x40", "\xEE\xBA\xB8"},  // U+EEB8
                       Case{950, "\x8E\xA1", "\xEE\x8D\x90"},  // U+E350
                       Case{950, "\x81\x81", "?"}, Case{950, "\xFF", "\xEF\xA3\xB8"}}) {
    SCOPED_TRACE(::testing::Message() << c.codePage << " " << c.stored);
    EXPECT_EQ(Utf8Text(c.codePage).Of(c.stored), c.utf8);
  }
}

// Code page 65001 writes only UTF-8: what is not becomes U+FFFD, one for each stretch that
// could still have begun a character, however glibc's converter would pass it on.
TEST(Utf8Text, CodePage65001WritesOnlyUtf8) {
  const std::string r = "\xEF\xBF\xBD";  // U+FFFD
  struct Case {
    std::string stored;
    std::string utf8;
  };
  for (const Case& c :
       {Case{"a\xC3\xB1\xE2\x82\xAC\xF0\x9F\x98\x80", "a\xC3\xB1\xE2\x82\xAC\xF0\x9F\x98\x80"},
        Case{"\xF5\xA9\x91\xA2", r + r + r + r},                 // no first byte
        Case{"\xFA\xBB\xA7\x86\x9Dx", r + r + r + r + r + "x"},  // five bytes
        Case{"\xF4\x9D\xB4\xA1", r + r + r + r},                 // above U+10FFFF
        Case{"\xC0\x80", r + r},                                 // overlong
        Case{"\xE0\x80\x80", r + r + r},                         // overlong
        Case{"\xED\xA0\x80", r + r + r},                         // a surrogate
        Case{"\xE2\x82", r}, Case{"\xE2\x82x", r + "x"},         // cut short
        Case{"\xF0\x9F\x98", r}, Case{"\x80\xBF", r + r}}) {
    SCOPED_TRACE(c.stored);
    EXPECT_EQ(Utf8Text(65001).Of(c.stored), c.utf8);
  }
}

}  // namespace
}  // namespace tomo::cli
