// Where the bytes read so far for the console may be cut: never inside a character.
#include "console_text.h"

#include <gtest/gtest.h>

namespace tomo::win32 {
namespace {

TEST(ConsoleText, ShowsBytesUpToTheLastWholeCharacter) {
  const struct {
    std::string_view bytes;
    std::size_t whole;
  } cases[] = {
      {"", 0},
      {"abc", 3},
      {"Tel\xC3\xA9", 5},           // é whole
      {"Tel\xC3", 3},               // é's first byte only
      {"\xE2\x82\xAC", 3},          // € whole
      {"a\xE2\x82", 1},             // € cut after two bytes
      {"a\xE2", 1},                 // € cut after one
      {"\xF0\x9F\x98\x80", 4},      // a four-byte character whole
      {"\xF0\x9F\x98", 0},          // and cut
      {"a\x80", 2},                 // a lone continuation byte passes
      {"\x80\x80\x80\x80\x80", 5},  // so do many
      {"a\xFF", 2},                 // a byte that starts nothing passes
      {"\xC3\xA9\xC3", 2},          // a whole character, then one cut
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(test.bytes)));
    EXPECT_EQ(WholeUtf8Length(test.bytes), test.whole);
  }
}

}  // namespace
}  // namespace tomo::win32
