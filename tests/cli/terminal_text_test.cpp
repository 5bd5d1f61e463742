// Names and options in info's table: control characters escaped, everything else as it is.
#include "cli/terminal_text.h"

#include <gtest/gtest.h>

namespace tomo::cli {
namespace {

using namespace std::string_literals;

TEST(TerminalText, EscapesControlCharacters) {
  const std::pair<std::string, std::string> cases[] = {
      {"Se\xC3\xB1"
       "al |x",
       "Se\xC3\xB1"
       "al |x"},
      {"a\nb\r\tc", "a\\nb\\r\\tc"},
      {"\x00\x1B[2J\x7F"s, "\\x00\\x1B[2J\\x7F"},
      {"\xC2\x85\xC2\x9F\xC2\xA0", "\\u0085\\u009F\xC2\xA0"},  // NEL, APC; no-break space stays
      {"C:\\n", "C:\\\\n"},
      {"\xC2", "\xC2"},
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(TerminalText(text), shown) << text;
}

}  // namespace
}  // namespace tomo::cli
