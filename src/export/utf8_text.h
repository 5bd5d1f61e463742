// The database's text (bytes of a Windows ANSI code page) as UTF-8, and the names the
// export's columns get.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "export/code_page.h"
#include "export/text_words.h"

namespace tomo {

class Utf8Text {
 public:
  // Throws Failure when the system has no such code page.
  explicit Utf8Text(int codePage);
  // The text in UTF-8: the text itself when it is plain ASCII (most values), else converted
  // into `scratch`.
  std::string_view Of(std::string_view text, std::string& scratch) const {
    return Keeps(text) ? text : Converted(text, scratch);
  }
  // Whether the text is UTF-8 as it is.
  bool Keeps(std::string_view text) const { return asciiAsIs_ && IsAscii(text); }
  // Whether plain ASCII text is UTF-8 as it is (EBCDIC is not).
  bool AsciiAsIs() const { return asciiAsIs_; }
  std::string Of(std::string_view text) const;

 private:
  // A test for all bytes at once: most values are short and plain ASCII.
  static bool IsAscii(std::string_view text) {
    std::uint64_t all = 0;
    ForEachWord(text, [&all](std::uint64_t word, std::size_t, std::size_t) { all |= word; });
    return (all & 0x8080808080808080) == 0;
  }
  std::string_view Converted(std::string_view text, std::string& scratch) const;

  std::unique_ptr<CodePage> codePage_;
  // Whether the code page keeps ASCII as it is (EBCDIC does not).
  bool asciiAsIs_ = true;
  // Each byte in UTF-8, as the code page's converter converts it, when the code page converts
  // byte by byte; empty for the others, whose text goes through the converter.
  std::vector<std::string> bytes_;
};

// Names for the columns `names` (a first column "record", then one per field) that are
// unique, compared as SQLite compares them (ASCII letters alike in either case) when
// `anyCase`: a repeated name gets the suffix _2, _3, ... `warn` hears of each renamed field.
std::vector<std::string> UniqueColumnNames(
    const std::vector<std::string>& names, bool anyCase,
    const std::function<void(std::size_t field, const std::string& name)>& warn);

}  // namespace tomo
