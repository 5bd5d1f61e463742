// What tomodb asks of the system it runs on: the database files (opened as the viewer opens
// them), the code page converter, the standard streams and the interrupt flag.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace tomo::cli {

// Text of a Windows ANSI code page converted to UTF-8.
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

struct Host {
  Files& files;
  std::FILE* out;  // standard output, in binary mode
  std::FILE* err;
  bool errIsTerminal = false;
};

// Ctrl+C and the signals that ask a program to end: the platform's entry point starts
// watching; long work asks now and then.
void WatchInterrupts();
bool Interrupted();
// The signal that interrupted the work, 0 while none has.
int InterruptingSignal();

// Runs tomodb with the arguments after the program's name; returns the exit status.
int RunTomodb(Host& host, const std::vector<std::string>& args);

}  // namespace tomo::cli
