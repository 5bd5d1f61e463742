#include "console_text.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <system_error>

#include "text.h"

namespace tomo::win32 {

std::size_t WholeUtf8Length(std::string_view utf8) {
  // The last byte that is not a continuation byte, among the last four.
  std::size_t lead = utf8.size();
  while (lead > 0 && utf8.size() - lead < 4 &&
         (static_cast<unsigned char>(utf8[lead - 1]) & 0xC0) == 0x80) {
    --lead;
  }
  if (lead == 0) return utf8.size();
  const auto first = static_cast<unsigned char>(utf8[lead - 1]);
  const std::size_t length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
  return first >= 0xC0 && first < 0xF8 && utf8.size() - (lead - 1) < length ? lead - 1
                                                                            : utf8.size();
}

namespace {

bool IsConsole(int descriptor) {
  DWORD mode = 0;
  return GetConsoleMode(reinterpret_cast<HANDLE>(_get_osfhandle(descriptor)), &mode) != 0;
}

}  // namespace

ConsoleText::ConsoleText() {
  const bool console[2] = {IsConsole(1), IsConsole(2)};
  if (!console[0] && !console[1]) return;
  int pipe[2];
  if (_pipe(pipe, 1 << 16, _O_BINARY | _O_NOINHERIT) != 0) return;
  std::fflush(stdout);
  std::fflush(stderr);
  for (int k = 0; k < 2; ++k) {
    if (!console[k]) continue;
    kept_[k] = _dup(k + 1);
    if (kept_[k] >= 0) _dup2(pipe[1], k + 1);
  }
  _close(pipe[1]);
  // Both are the one console the program runs in.
  const int showing = kept_[0] >= 0 ? kept_[0] : kept_[1];
  if (showing >= 0) {
    try {
      thread_ =
          std::thread([this, from = pipe[0],
                       to = reinterpret_cast<HANDLE>(_get_osfhandle(showing))] { Show(from, to); });
      return;
    } catch (const std::system_error&) {
    }
  }
  // Written as before, then.
  PutBack();
  _close(pipe[0]);
}

ConsoleText::~ConsoleText() {
  std::fflush(stdout);
  std::fflush(stderr);
  // The pipe's last writing end closes: the thread shows what is left and ends.
  PutBack();
  if (thread_.joinable()) thread_.join();
  for (const int kept : kept_) {
    if (kept >= 0) _close(kept);
  }
}

void ConsoleText::PutBack() {
  for (int k = 0; k < 2; ++k) {
    if (kept_[k] >= 0) _dup2(kept_[k], k + 1);
  }
}

void ConsoleText::Show(int from, HANDLE console) {
  std::string bytes;
  char block[4096];
  const auto show = [console](std::string_view utf8) {
    const std::wstring wide = Utf8ToWide(utf8);
    DWORD written = 0;
    if (!wide.empty())
      WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  };
  for (int got; (got = _read(from, block, sizeof block)) > 0;) {
    bytes.append(block, static_cast<std::size_t>(got));
    const std::size_t whole = WholeUtf8Length(bytes);
    show(std::string_view(bytes).substr(0, whole));
    bytes.erase(0, whole);
  }
  show(bytes);
  _close(from);
}

}  // namespace tomo::win32
