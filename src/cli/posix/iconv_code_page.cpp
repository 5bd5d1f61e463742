// Code pages on Linux: iconv, from the code page to UTF-8, with what Windows makes of the
// bytes glibc does not map.
#include <errno.h>
#include <iconv.h>

#include <string>

#include "cli/host.h"
#include "cli/posix/windows_code_pages.h"

namespace tomo::cli {

namespace {

constexpr std::size_t kFailed = static_cast<std::size_t>(-1);

void AppendUtf8Character(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

class IconvCodePage : public CodePage {
 public:
  IconvCodePage(iconv_t converter, WindowsExtras extras) : converter_(converter), extras_(extras) {
    for (int b = 0; b < 256; ++b) leadBytes_[b] = ConvertAlone(b) == EINVAL;
  }
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
        const std::size_t taken = AppendUnmapped(in, inLeft, out);
        in += taken;
        inLeft -= taken;
      }
    }
    AppendHeldBack(out);
  }

  bool ByteByByte() const override {
    for (int b = 0; b < 256; ++b) {
      // The first byte of a longer character (EINVAL: incomplete), or a byte that comes out
      // only with what follows it: one held back to be combined with the next character, as
      // glibc does for code pages 1255 and 1258, or one that shifts to other characters.
      const int result = ConvertAlone(b);
      if (result != 0 && result != EILSEQ) return false;
    }
    return true;
  }

 private:
  // Converts byte `b` alone: 0 when it comes out at once and nothing follows at the end,
  // EILSEQ when it is not mapped, else EINVAL or -1.
  int ConvertAlone(int b) const {
    iconv(converter_, nullptr, nullptr, nullptr, nullptr);
    char byte = static_cast<char>(b);
    char* in = &byte;
    std::size_t inLeft = 1;
    char buffer[16];
    char* to = buffer;
    std::size_t toLeft = sizeof buffer;
    if (iconv(converter_, &in, &inLeft, &to, &toLeft) == kFailed) return errno;
    if (to == buffer) return -1;
    const char* converted = to;
    iconv(converter_, nullptr, nullptr, &to, &toLeft);
    return to == converted ? 0 : -1;
  }

  // Writes what Windows makes of the bytes at `in` that glibc does not convert; returns how
  // many it takes: a lead byte takes the byte after it too, unless that one is zero.
  std::size_t AppendUnmapped(const char* in, std::size_t inLeft, std::string& out) const {
    const auto b = static_cast<unsigned char>(*in);
    if (extras_.leadByteDefault != 0 && leadBytes_[b]) {
      AppendUtf8Character(extras_.leadByteDefault, out);
      return inLeft > 1 && in[1] != '\0' ? 2 : 1;
    }
    AppendUtf8Character(extras_.bytes[b], out);
    return 1;
  }

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
  WindowsExtras extras_;
  bool leadBytes_[256];
};

}  // namespace

std::unique_ptr<CodePage> OpenCodePage(int number) {
  const iconv_t converter = iconv_open("UTF-8", IconvName(number).c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return nullptr;
  return std::make_unique<IconvCodePage>(converter, WindowsExtrasOf(number));
}

}  // namespace tomo::cli
