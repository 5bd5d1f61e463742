// Code pages on Linux: iconv, from the code page to UTF-8, with what Windows makes of the
// bytes glibc does not map.
#include <errno.h>
#include <iconv.h>

#include <algorithm>
#include <string>
#include <vector>

#include "export/code_page.h"
#include "export/posix/windows_code_pages.h"

namespace tomo {

namespace {

constexpr std::size_t kFailed = static_cast<std::size_t>(-1);

// The characters written here are all below U+10000.
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
    // A code page of one byte per character converts through a table of its bytes as Windows
    // converts each; the others (longer characters, or shifts) through iconv. Windows makes
    // each byte of code pages 1255 and 1258 its own character, where glibc combines a letter
    // and the accent after it into one: the table keeps them two, as stored.
    std::vector<std::string> bytes(256);
    bool oneByte = true;
    for (int b = 0; b < 256; ++b) {
      const int result = ConvertAlone(b, bytes[b]);
      leadBytes_[b] = result == EINVAL ||
                      (b >= extras_.firstLead && b <= extras_.lastLead && extras_.firstLead != 0);
      // The first byte of a longer character (EINVAL: incomplete), or a byte that makes no
      // character alone: one that shifts to other characters.
      oneByte = oneByte && (result == 0 || result == EILSEQ);
      if (result == EILSEQ || extras_.bytes[b] != kAsGlibc) {
        bytes[b].clear();
        AppendUtf8Character(Windows(b), bytes[b]);
      }
    }
    if (oneByte) bytes_ = std::move(bytes);
  }
  ~IconvCodePage() override { iconv_close(converter_); }
  IconvCodePage(const IconvCodePage&) = delete;
  IconvCodePage& operator=(const IconvCodePage&) = delete;

  void AppendUtf8(std::string_view text, std::string& out) const override {
    if (ByteByByte()) {
      for (const char c : text) out += bytes_[static_cast<unsigned char>(c)];
      return;
    }
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
        if (inLeft == 0 || TakesFirst(in, inLeft)) {
          // The converter failed on bytes it had already taken: glibc's for code page 949
          // takes a pair it has no character for (0xA2 0xE8) before it fails, and points past
          // it, at the end of the text or at a character it does take.
          AppendUtf8Character(InvalidPair(), out);
          continue;
        }
        const std::size_t taken = AppendUnmapped(in, inLeft, out);
        in += taken;
        inLeft -= taken;
      }
    }
    AppendHeldBack(out);
  }

  bool ByteByByte() const override { return !bytes_.empty(); }

 private:
  // Converts byte `b` alone, as a whole text, into `out`: with what the converter writes at
  // the text's end (a character held back to see whether the next one combines with it).
  // Returns 0 when that makes a character, EILSEQ when the byte is not mapped, EINVAL for the
  // first byte of a longer character, -1 for none.
  int ConvertAlone(int b, std::string& out) const {
    iconv(converter_, nullptr, nullptr, nullptr, nullptr);
    char byte = static_cast<char>(b);
    char* in = &byte;
    std::size_t inLeft = 1;
    char buffer[16];
    char* to = buffer;
    std::size_t toLeft = sizeof buffer;
    if (iconv(converter_, &in, &inLeft, &to, &toLeft) == kFailed) return errno;
    iconv(converter_, nullptr, nullptr, &to, &toLeft);
    out.assign(buffer, static_cast<std::size_t>(to - buffer));
    return to == buffer ? -1 : 0;
  }

  // Whether the converter takes the character the text at `in` begins with.
  bool TakesFirst(const char* in, std::size_t inLeft) const {
    iconv(converter_, nullptr, nullptr, nullptr, nullptr);
    char* from = const_cast<char*>(in);
    std::size_t fromLeft = std::min<std::size_t>(inLeft, 4);  // the longest character
    char buffer[32];
    char* to = buffer;
    std::size_t toLeft = sizeof buffer;
    iconv(converter_, &from, &fromLeft, &to, &toLeft);
    iconv(converter_, nullptr, nullptr, nullptr, nullptr);
    return from != in;
  }

  // What Windows makes of a lead byte and a byte that makes no pair with it.
  char32_t InvalidPair() const {
    return extras_.leadByteDefault != 0 ? extras_.leadByteDefault : U'\uFFFD';
  }

  // Windows' character for byte `b` where glibc does not map it.
  char32_t Windows(unsigned b) const {
    return extras_.bytes[b] == kAsGlibc ? U'\uFFFD' : extras_.bytes[b];
  }

  // Writes what Windows makes of the bytes at `in` that glibc does not convert; returns how
  // many it takes: a lead byte takes the byte after it too, unless that one is zero.
  std::size_t AppendUnmapped(const char* in, std::size_t inLeft, std::string& out) const {
    const auto b = static_cast<unsigned char>(*in);
    if (extras_.leadByteDefault != 0 && leadBytes_[b]) {
      const bool pair = inLeft > 1 && in[1] != '\0';
      const char32_t user = pair ? PairCharacter(extras_, b, static_cast<unsigned char>(in[1])) : 0;
      AppendUtf8Character(user != 0 ? user : extras_.leadByteDefault, out);
      return pair ? 2 : 1;
    }
    AppendUtf8Character(Windows(b), out);
    return 1;
  }

  // Writes out what the converter still holds (a character held back to see whether the
  // next one combines with it), where the text ends or a byte it does not map.
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
  std::vector<std::string> bytes_;  // each byte in UTF-8, for a code page of one byte each
};

// Code page 65001: the text kept as it is where it is UTF-8, and U+FFFD for each stretch that
// is not, as long as it could still have begun a character. glibc's converter passes on
// sequences that are no UTF-8 (five bytes, or above U+10FFFF), which readers of the output
// then reject.
class Utf8CodePage : public CodePage {
 public:
  void AppendUtf8(std::string_view text, std::string& out) const override {
    std::size_t k = 0;
    while (k < text.size()) {
      const auto b = static_cast<unsigned char>(text[k]);
      if (b < 0x80) {
        out += static_cast<char>(b);
        ++k;
        continue;
      }
      // The bytes that follow a first byte, and the range the second one must lie in.
      int follow = 0;
      unsigned char low = 0x80;
      unsigned char high = 0xBF;
      if (b >= 0xC2 && b <= 0xDF) {
        follow = 1;
      } else if (b >= 0xE0 && b <= 0xEF) {
        follow = 2;
        if (b == 0xE0) low = 0xA0;   // no overlong form
        if (b == 0xED) high = 0x9F;  // no surrogate
      } else if (b >= 0xF0 && b <= 0xF4) {
        follow = 3;
        if (b == 0xF0) low = 0x90;   // no overlong form
        if (b == 0xF4) high = 0x8F;  // nothing above U+10FFFF
      }
      std::size_t end = k + 1;
      for (int got = 0; got < follow && end < text.size(); ++got, ++end) {
        const auto next = static_cast<unsigned char>(text[end]);
        if (next < (got == 0 ? low : 0x80) || next > (got == 0 ? high : 0xBF)) break;
      }
      if (follow > 0 && end - k == static_cast<std::size_t>(follow) + 1) {
        out.append(text.substr(k, end - k));
      } else {
        out += "\xEF\xBF\xBD";
      }
      k = end;
    }
  }
  bool ByteByByte() const override { return false; }
};

}  // namespace

std::unique_ptr<CodePage> OpenCodePage(int number) {
  if (number == 65001) return std::make_unique<Utf8CodePage>();
  const iconv_t converter = iconv_open("UTF-8", IconvName(number).c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return nullptr;
  return std::make_unique<IconvCodePage>(converter, WindowsExtrasOf(number));
}

}  // namespace tomo
