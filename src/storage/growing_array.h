// An array of plain items that grows by realloc. A large block then grows by remapping its
// pages where it lies, instead of being copied into fresh pages that must all be faulted in:
// for a pass that keeps something for each of millions of entries, that faulting costs more
// than the pass itself.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

namespace tomo {

template <typename T>
class GrowingArray {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  GrowingArray() = default;
  ~GrowingArray() { std::free(items_); }
  GrowingArray(GrowingArray&& other) noexcept
      : items_(std::exchange(other.items_, nullptr)),
        size_(std::exchange(other.size_, 0)),
        capacity_(std::exchange(other.capacity_, 0)) {}
  GrowingArray& operator=(GrowingArray&& other) noexcept {
    std::swap(items_, other.items_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
    return *this;
  }

  void Append(const T* items, std::size_t count) {
    if (count == 0) return;
    if (count > capacity_ - size_) Grow(size_ + count);
    std::memcpy(items_ + size_, items, count * sizeof(T));
    size_ += count;
  }
  void Push(const T& item) { Append(&item, 1); }
  // Keeps the memory for what comes next.
  void Clear() { size_ = 0; }

  T* begin() { return items_; }
  T* end() { return items_ + size_; }
  const T* begin() const { return items_; }
  const T* end() const { return items_ + size_; }
  const T& operator[](std::size_t k) const { return items_[k]; }
  std::size_t size() const { return size_; }

 private:
  void Grow(std::size_t needed) {
    std::size_t capacity = capacity_ < 4096 ? 4096 : capacity_ * 2;
    if (capacity < needed) capacity = needed;
    void* grown = std::realloc(items_, capacity * sizeof(T));
    if (grown == nullptr) throw std::bad_alloc();
    items_ = static_cast<T*>(grown);
    capacity_ = capacity;
  }

  T* items_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace tomo
