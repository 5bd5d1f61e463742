// Code pages on Windows: MultiByteToWideChar, then UTF-16 to UTF-8.
#include "export/code_page.h"

#include <windows.h>

#include "text.h"

namespace tomo {

namespace {

class WindowsCodePage : public CodePage {
 public:
  explicit WindowsCodePage(UINT number) : number_(number) {}
  void AppendUtf8(std::string_view text, std::string& out) const override {
    out += win32::WideToUtf8(win32::Widen(text, number_));
  }
  // A code page of one byte per character converts each byte by its table, never combining
  // characters (no MB_PRECOMPOSED asked for).
  bool ByteByByte() const override {
    CPINFO info;
    return GetCPInfo(number_, &info) && info.MaxCharSize == 1;
  }

 private:
  UINT number_;
};

}  // namespace

std::unique_ptr<CodePage> OpenCodePage(int number) {
  const auto page = static_cast<UINT>(number);
  if (!IsValidCodePage(page)) return nullptr;
  return std::make_unique<WindowsCodePage>(page);
}

}  // namespace tomo
