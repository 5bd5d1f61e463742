// Text of a Windows ANSI code page converted to UTF-8, by the system's own converter.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tomo {

class CodePage {
 public:
  virtual ~CodePage() = default;
  // Bytes the code page does not map become U+FFFD.
  virtual void AppendUtf8(std::string_view text, std::string& out) const = 0;
  // True when every byte is a character of its own, converted alike whatever comes before or
  // after it: then text converts as its bytes do one at a time.
  virtual bool ByteByByte() const = 0;
};

// The converter of code page `number`; none when the system has no such code page. Defined
// by each platform: iconv on Linux, MultiByteToWideChar on Windows.
std::unique_ptr<CodePage> OpenCodePage(int number);

}  // namespace tomo
