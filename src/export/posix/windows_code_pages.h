// Windows code pages as glibc's iconv knows them, and where Windows converts bytes that
// glibc's tables leave out: tomodb writes the same files on both systems.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace tomo {

// The iconv name of Windows code page `number`.
std::string IconvName(int number);

constexpr char32_t kAsGlibc = 0xFFFFFFFF;

// Windows' characters for a run of pairs glibc leaves out: the user-defined areas of the
// Chinese and Korean code pages, in the private use area. Pairs of lead bytes `firstLead` to
// `lastLead` and the second bytes of `trails` are numbered row by row from `first`.
struct UserArea {
  enum class Trails { k94, k96, k157 };  // A1-FE; 40-7E and 80-A0; 40-7E and A1-FE
  unsigned char firstLead;
  unsigned char lastLead;
  Trails trails;
  char32_t first;
};

// Windows' characters for pairs of lead byte `lead` and second bytes `firstTrail` to
// `lastTrail` that glibc leaves out, from `first` on: the holes of code page 936's table.
struct PairRun {
  unsigned char lead;
  unsigned char firstTrail;
  unsigned char lastTrail;
  char32_t first;
};

struct WindowsExtras {
  // Windows' character for each byte that glibc converts alone otherwise or not at all;
  // kAsGlibc where the two agree.
  std::array<char32_t, 256> bytes;
  // The character Windows gives a lead byte of a double-byte code page with no character
  // after it; 0 for the code pages whose invalid pairs are left to the replacement.
  char32_t leadByteDefault = 0;
  // Lead bytes Windows has beyond glibc's (none when 0).
  unsigned char firstLead = 0;
  unsigned char lastLead = 0;
  std::vector<UserArea> userAreas;
  std::vector<PairRun> pairRuns;
};

// Windows' character for the pair `lead`, `trail` where glibc has none: in a user area or a
// run of `extras`; 0 for none.
char32_t PairCharacter(const WindowsExtras& extras, unsigned char lead, unsigned char trail);

WindowsExtras WindowsExtrasOf(int number);

}  // namespace tomo
