// A field name as an entry's name field holds it: its bytes and then a zero byte. Compared
// with an entry a word at a time, without decoding the entry: scans look at the names of
// millions of entries. The bytes after the zero are not interpreted, as anywhere else.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

#include "storage/char_entry.h"

namespace tomo {

class NameKey {
 public:
  // The name to look for. A name of 35 bytes or more leaves no room for the zero byte in a
  // name field: it matches no entry.
  explicit NameKey(std::string_view name);
  // The name of the entry at `entry`; none when its name field holds no zero byte.
  static std::optional<NameKey> Of(const unsigned char* entry);

  // True when the entry's name is this name. Most entries a scan asks about differ in their
  // first word, so that one is compared first.
  bool Matches(const unsigned char* entry) const {
    if (count_ == 0) return false;
    if (((Word(entry, 0) ^ words_[0]) & masks_[0]) != 0) return false;
    std::uint64_t differ = 0;
    for (int w = 1; w < count_; ++w) differ |= (Word(entry, w) ^ words_[w]) & masks_[w];
    return differ == 0;
  }
  // A name that lies, with its zero byte, in the entry's first N name words: N words and
  // masks compare it with an entry, which a loop over many entries keeps in registers.
  template <int N>
  struct Prefix {
    std::array<std::uint64_t, N> words;
    std::array<std::uint64_t, N> masks;
    bool Matches(const unsigned char* entry) const {
      std::uint64_t differ = 0;
      for (int w = 0; w < N; ++w) differ |= (Word(entry, w) ^ words[w]) & masks[w];
      return differ == 0;
    }
  };
  template <int N>
  std::optional<Prefix<N>> InWords() const {
    if (count_ != N) return std::nullopt;
    return Within<N>();
  }
  // The same for a name in N words or fewer: the words past it compare nothing.
  template <int N>
  std::optional<Prefix<N>> Within() const {
    if (count_ == 0 || count_ > N) return std::nullopt;
    return Leading<N>();
  }
  // The name's first N words: every entry of the name matches them, so an entry that does not
  // is of another name. A name too long to match any entry gives no words: all entries match.
  template <int N>
  Prefix<N> Leading() const {
    Prefix<N> in{};
    if (count_ == 0) return in;
    std::copy_n(words_.begin(), N, in.words.begin());
    std::copy_n(masks_.begin(), N, in.masks.begin());
    return in;
  }
  bool operator==(const NameKey&) const = default;

 private:
  static constexpr int kWords = 5;  // the 35 bytes of the name field, and 5 more
  using Words = std::array<std::uint64_t, kWords>;
  static_assert(std::endian::native == std::endian::little,
                "the masks select a word's first bytes as its low bytes");

  NameKey(const Words& field, std::size_t length);
  static std::uint64_t Word(const unsigned char* entry, int w) {
    std::uint64_t word;
    std::memcpy(&word, entry + kEntryNameOffset + 8 * w, sizeof word);
    return word;
  }

  Words words_{};  // the name and its zero byte, 0 past them
  Words masks_{};  // the bytes of words_ that hold the name and its zero byte
  int count_ = 0;  // the words that hold them; 0 for a name too long to match
};

}  // namespace tomo
