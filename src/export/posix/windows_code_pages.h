// Windows code pages as glibc's iconv knows them, and where Windows converts bytes that
// glibc's tables leave out: tomodb writes the same files on both systems.
#pragma once

#include <array>
#include <string>

namespace tomo {

// The iconv name of Windows code page `number`.
std::string IconvName(int number);

constexpr char32_t kAsGlibc = 0xFFFFFFFF;

struct WindowsExtras {
  // Windows' character for each byte that glibc converts alone otherwise or not at all;
  // kAsGlibc where the two agree.
  std::array<char32_t, 256> bytes;
  // The character Windows gives a lead byte of a double-byte code page with no character
  // after it; 0 for the code pages whose invalid pairs are left to the replacement.
  char32_t leadByteDefault = 0;
};

WindowsExtras WindowsExtrasOf(int number);

}  // namespace tomo
