// Code pages on Linux: iconv, from "CP<number>" to UTF-8.
#include <errno.h>
#include <iconv.h>

#include <string>

#include "cli/host.h"

namespace tomo::cli {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
constexpr std::size_t kFailed = static_cast<std::size_t>(-1);

class IconvCodePage : public CodePage {
 public:
  explicit IconvCodePage(iconv_t converter) : converter_(converter) {}
  ~IconvCodePage() override { iconv_close(converter_); }
  IconvCodePage(const IconvCodePage&) = delete;
  IconvCodePage& operator=(const IconvCodePage&) = delete;

  void AppendUtf8(std::string_view text, std::string& out) const override {
    iconv(converter_, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char buffer[1024];
    while (inLeft > 0) {
      char* to = buffer;
      std::size_t toLeft = sizeof buffer;
      const std::size_t done = iconv(converter_, &in, &inLeft, &to, &toLeft);
      out.append(buffer, static_cast<std::size_t>(to - buffer));
      // A byte the code page does not map (E2BIG: the buffer is full, go on).
      if (done == kFailed && errno != E2BIG) {
        AppendHeldBack(out);
        out.append(kReplacement);
        ++in;
        --inLeft;
      }
    }
    AppendHeldBack(out);
  }

  bool ByteByByte() const override {
    for (int b = 0; b < 256; ++b) {
      iconv(converter_, nullptr, nullptr, nullptr, nullptr);
      char byte = static_cast<char>(b);
      char* in = &byte;
      std::size_t inLeft = 1;
      char buffer[16];
      char* to = buffer;
      std::size_t toLeft = sizeof buffer;
      const std::size_t done = iconv(converter_, &in, &inLeft, &to, &toLeft);
      // The first byte of a longer character (EINVAL: incomplete), or a byte that comes out
      // only with what follows it: one held back to be combined with the next character, as
      // glibc does for code pages 1255 and 1258, or one that shifts to other characters.
      if (done == kFailed ? errno != EILSEQ : to == buffer) return false;
      const char* converted = to;
      iconv(converter_, nullptr, nullptr, &to, &toLeft);
      if (to != converted) return false;
    }
    return true;
  }

 private:
  // Writes out a character the converter holds back to see whether the next one combines
  // with it (code pages 1255 and 1258), where the text ends or a byte it does not map.
  void AppendHeldBack(std::string& out) const {
    char buffer[64];
    char* to = buffer;
    std::size_t toLeft = sizeof buffer;
    iconv(converter_, nullptr, nullptr, &to, &toLeft);
    out.append(buffer, static_cast<std::size_t>(to - buffer));
  }

  iconv_t converter_;
};

}  // namespace

std::unique_ptr<CodePage> OpenCodePage(int number) {
  const iconv_t converter = iconv_open("UTF-8", ("CP" + std::to_string(number)).c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return nullptr;
  return std::make_unique<IconvCodePage>(converter);
}

}  // namespace tomo::cli
