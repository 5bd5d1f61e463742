#include "storage/name_key.h"

#include <algorithm>

namespace tomo {

namespace {

// The masks of a name of each length, its zero byte included.
constexpr auto kMasksByLength = [] {
  std::array<std::array<std::uint64_t, 5>, kEntryNameSize> masks{};
  for (std::size_t length = 0; length < masks.size(); ++length) {
    for (std::size_t w = 0; w < 5; ++w) {
      const std::size_t bytes = std::clamp<std::size_t>(length + 1, 8 * w, 8 * w + 8) - 8 * w;
      masks[length][w] = bytes == 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * bytes)) - 1;
    }
  }
  return masks;
}();

// The position of the first zero byte of the name field, given as words; none when it has
// none. In a word, the lowest byte that the borrow trick flags is its first zero byte.
std::optional<std::size_t> NameLength(const std::array<std::uint64_t, 5>& words) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kHighs = 0x8080808080808080ull;
  // The last word holds three bytes of the field; the bytes after them count as not zero.
  constexpr std::uint64_t kPastField = ~std::uint64_t{0} << (8 * (kEntryNameSize - 32));
  for (std::size_t w = 0; w < words.size(); ++w) {
    const std::uint64_t word = w + 1 == words.size() ? words[w] | kPastField : words[w];
    const std::uint64_t zeros = (word - kOnes) & ~word & kHighs;
    if (zeros != 0) return 8 * w + static_cast<std::size_t>(std::countr_zero(zeros)) / 8;
  }
  return std::nullopt;
}

}  // namespace

NameKey::NameKey(const Words& field, std::size_t length)
    : masks_(kMasksByLength[length]), count_(static_cast<int>(length / 8 + 1)) {
  for (int w = 0; w < kWords; ++w) words_[w] = field[w] & masks_[w];
}

NameKey::NameKey(std::string_view name) {
  if (name.size() >= kEntryNameSize) return;
  // The name as it stands in an entry, followed by zero bytes.
  std::array<unsigned char, kEntryNameOffset + 8 * kWords> entry{};
  std::copy(name.begin(), name.end(), entry.begin() + kEntryNameOffset);
  Words field;
  for (int w = 0; w < kWords; ++w) field[w] = Word(entry.data(), w);
  *this = NameKey(field, name.size());
}

std::optional<NameKey> NameKey::Of(const unsigned char* entry) {
  Words field;
  for (int w = 0; w < kWords; ++w) field[w] = Word(entry, w);
  const std::optional<std::size_t> length = NameLength(field);
  if (!length) return std::nullopt;
  return NameKey(field, *length);
}

}  // namespace tomo
