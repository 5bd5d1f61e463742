// tomodb's texts on a Windows console. tomodb writes UTF-8, which a console shows in its own
// code page (850 or 437 in a Spanish or English Windows: "Teléfono" as "Tel├®fono"); a
// console shows every character only when written to it in UTF-16.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string_view>
#include <thread>

namespace tomo::win32 {

// The length of the longest start of `utf8` that does not end inside a character: the rest
// waits for the bytes that complete it. Bytes that cannot start or go on a character count
// as whole, and show as a replacement character.
std::size_t WholeUtf8Length(std::string_view utf8);

// While it exists, what the C runtime writes to standard output and standard error, where
// they are a console, goes to the console in UTF-16: through a pipe that a thread of its own
// reads, in the order written. Files and pipes are written as before.
class ConsoleText {
 public:
  ConsoleText();
  // Writes out what is buffered and what the thread has not yet shown, and puts the
  // streams back.
  ~ConsoleText();
  ConsoleText(const ConsoleText&) = delete;
  ConsoleText& operator=(const ConsoleText&) = delete;

 private:
  void Show(int from, HANDLE console);
  // Gives the streams their own descriptors back.
  void PutBack();

  // Standard output's and standard error's own descriptor while a pipe stands in for it;
  // -1 for a stream left as it was.
  int kept_[2] = {-1, -1};
  std::thread thread_;
};

}  // namespace tomo::win32
