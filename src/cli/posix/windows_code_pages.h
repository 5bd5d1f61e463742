// Windows code pages as glibc's iconv knows them, and where Windows converts bytes that
// glibc's tables leave out: tomodb writes the same files on both systems.
#pragma once

#include <array>
#include <string>

namespace tomo::cli {

// The iconv name of Windows code page `number`.
std::string IconvName(int number);

struct WindowsExtras {
  // Windows' character for each byte glibc does not map alone; U+FFFD where Windows has
  // none either.
  std::array<char32_t, 256> bytes;
  // The character Windows gives a lead byte of a double-byte code page with no character
  // after it; 0 for the code pages whose invalid pairs are left to the replacement.
  char32_t leadByteDefault = 0;
};

WindowsExtras WindowsExtrasOf(int number);

}  // namespace tomo::cli
