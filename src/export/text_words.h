// A text looked at eight bytes at a time, for the tests an export makes of every byte of
// every value (plain ASCII or not, a byte that makes a CSV value quoted). Values are mostly
// short: one or two words of 4 or 8 bytes, the last one overlapping the one before, cost less
// than a call of memcpy and a loop over the bytes left over.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace tomo {

// Calls look(word, at, size) for the bytes of `text` from `at` on, `size` of them (8, 4 or
// fewer), held in the low bytes of `word` in their order, its other bytes zero. Together the
// calls cover every byte at least once: 8 bytes at a time, the last word ending at the text's
// end; a text of 4 to 7 bytes as two 4-byte words; a shorter one as one word.
// Always inlined: a call of it for each value costs more than its work on a short one.
template <typename Look>
[[gnu::always_inline]] inline void ForEachWord(std::string_view text, Look look) {
  static_assert(std::endian::native == std::endian::little,
                "a word's first bytes are its low bytes");
  const char* in = text.data();
  const std::size_t n = text.size();
  const auto load = [in](std::size_t at, std::size_t size) {
    std::uint64_t word = 0;
    std::memcpy(&word, in + at, size);
    return word;
  };
  if (n >= 8) {
    for (std::size_t at = 0; at + 8 < n; at += 8) look(load(at, 8), at, std::size_t{8});
    look(load(n - 8, 8), n - 8, std::size_t{8});
  } else if (n >= 4) {
    look(load(0, 4), std::size_t{0}, std::size_t{4});
    look(load(n - 4, 4), n - 4, std::size_t{4});
  } else if (n > 0) {
    std::uint64_t word = 0;
    for (std::size_t at = 0; at < n; ++at)
      word |= std::uint64_t{static_cast<unsigned char>(in[at])} << (8 * at);
    look(word, std::size_t{0}, n);
  }
}

}  // namespace tomo
