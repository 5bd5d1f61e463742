// The database's text (bytes of a Windows ANSI code page) as UTF-8, and the names the
// export's columns get.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cli/host.h"

namespace tomo::cli {

class Utf8Text {
 public:
  // Throws Failure when the system has no such code page.
  explicit Utf8Text(int codePage);
  // The text in UTF-8: the text itself when it is plain ASCII (most values), else converted
  // into `scratch`.
  std::string_view Of(std::string_view text, std::string& scratch) const {
    return IsAscii(text) ? text : Converted(text, scratch);
  }
  std::string Of(std::string_view text) const;

 private:
  // A test for all bytes at once: most values are short and plain ASCII. They are read as
  // one or two words of 4 or 8 bytes, the last one overlapping the one before.
  static bool IsAscii(std::string_view text) {
    const char* in = text.data();
    const std::size_t n = text.size();
    std::uint64_t all = 0;
    if (n >= 8) {
      for (std::size_t at = 0; at + 8 < n; at += 8) all |= Load(in + at, 8);
      all |= Load(in + n - 8, 8);
    } else if (n >= 4) {
      all = Load(in, 4) | Load(in + n - 4, 4);
    } else {
      for (std::size_t at = 0; at < n; ++at) all |= static_cast<unsigned char>(in[at]);
    }
    return (all & 0x8080808080808080) == 0;
  }
  static std::uint64_t Load(const char* bytes, std::size_t size) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes, size);
    return word;
  }
  std::string_view Converted(std::string_view text, std::string& scratch) const;

  std::unique_ptr<CodePage> codePage_;
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

}  // namespace tomo::cli
