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
  // One byte per character; characters combined (1255, 1258); two bytes per character.
  for (const Case c : {Case{1252, true}, Case{850, true}, Case{1251, true}, Case{1253, true},
                       Case{1255, false}, Case{1258, false}, Case{932, false}, Case{936, false}}) {
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

// glibc's converters for code pages 1255 and 1258 hold a character back until they see
// whether the next one combines with it: it comes out at the end of the text, and before the
// character Windows gives a byte glibc does not map.
TEST(Utf8Text, ACharacterHeldBackToCombineComesOut) {
  const Utf8Text vietnamese(1258);
  EXPECT_EQ(vietnamese.Of("\xC3"
                          "a"),
            "\xC4\x82"
            "a");
  EXPECT_EQ(vietnamese.Of("a\xEC"), "\xC3\xA1");  // a and the combining acute: á
  EXPECT_EQ(vietnamese.Of("\xC3"
                          "a\x81"),
            "\xC4\x82"
            "a\xC2\x81");
  EXPECT_EQ(Utf8Text(1255).Of("\xE0\xE1"), "\xD7\x90\xD7\x91");  // alef, bet
}

}  // namespace
}  // namespace tomo::cli
