// Code pages on Linux: iconv, from "CP<number>" to UTF-8.
#include <errno.h>
#include <iconv.h>

#include <string>

#include "cli/host.h"

namespace tomo::cli {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

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
      if (done == static_cast<std::size_t>(-1) && errno != E2BIG) {
        out.append(kReplacement);
        ++in;
        --inLeft;
      }
    }
  }

 private:
  iconv_t converter_;
};

}  // namespace

std::unique_ptr<CodePage> OpenCodePage(int number) {
  const iconv_t converter = iconv_open("UTF-8", ("CP" + std::to_string(number)).c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return nullptr;
  return std::make_unique<IconvCodePage>(converter);
}

}  // namespace tomo::cli
