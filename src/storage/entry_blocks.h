// Reading the record file in large blocks of whole entries, letting pending window messages
// through while a long scan runs.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>

#include "platform/files.h"
#include "storage/char_entry.h"
#include "storage/database.h"

namespace tomo {

class EntryBlocks {
 public:
  // Opens the database's record file; blocks start at entry `first`.
  EntryBlocks(const Database& database, std::int64_t first);
  ~EntryBlocks();
  EntryBlocks(const EntryBlocks&) = delete;
  EntryBlocks& operator=(const EntryBlocks&) = delete;

  // Whole entries in the file when it was opened.
  std::int64_t Entries() const { return entries_; }
  // Takes the file to end before entry `entry`; before the first block is read.
  void EndBefore(std::int64_t entry) { entries_ = std::min(entries_, entry - 1); }
  // The file as it was when it was opened.
  const FileStamp& Stamp() const { return stamp_; }
  // Entries per block read, the last block of the file holding the rest.
  std::int64_t BlockEntries() const { return blockEntries_; }
  // The record number of the file's last whole entry; 0 for an empty file.
  std::int64_t LastRecord();
  // Reads the next block; false at the end of the file. Between two blocks, pending window
  // messages are let through once the scan has run ScanPumpMicroseconds since the last time.
  bool Next();
  // From now on, reads each block on a thread of its own while the caller looks at the block
  // before: a pass that looks at every entry then takes about the longer of its reading and
  // its looking, not both. Only for a pass that reads every block in order and nothing else
  // of the file meanwhile (no PassOver, no LastRecord).
  void ReadAhead();
  // From now on, reads blocks of at most about 256 KiB, before the first is read: a pass that
  // looks at every entry once then follows each block right after reading it, while it is
  // still in the processor's cache, and costs about one reading of the file.
  void ReadCacheSized() { blockEntries_ = std::min(blockEntries_, kCacheSizedEntries); }
  // Goes past the next `entries` entries without reading them.
  void PassOver(std::int64_t entries) { next_ += entries; }
  // Entry numbers of the current block: First() .. First() + Count() - 1.
  std::int64_t First() const { return first_; }
  std::int64_t Count() const { return count_; }
  CharEntry At(std::int64_t k) const { return DecodeEntry(Bytes(k)); }
  // The first entry of the block from k on whose bytes `wanted` accepts; Count() for none.
  // Scans spend most of their time here, passing over the entries that do not matter.
  template <typename Wanted>
  std::int64_t FindFrom(std::int64_t k, Wanted wanted) const {
    const unsigned char* entry = Bytes(k);
    for (; k < count_; ++k, entry += kEntryBytes) {
      if (wanted(entry)) break;
    }
    return k;
  }
  // The 54 bytes of entry First() + k, valid until the next block is read.
  const unsigned char* Bytes(std::int64_t k) const {
    return buffer_.get() + static_cast<std::size_t>(k) * kEntryBytes;
  }

 private:
  static constexpr std::size_t kEntryBytes = kEntrySize;
  static constexpr std::int64_t kCacheSizedEntries = (std::int64_t{256} << 10) / kEntrySize;
  struct Ahead;
  void PumpWhenDue();
  // Reads `wanted` entries from entry `from` on; returns the whole entries read.
  std::int64_t ReadInto(unsigned char* buffer, std::int64_t from, std::int64_t wanted) const;

  ScanPump& pump_;
  const std::int64_t pumpMicroseconds_;
  std::unique_ptr<ReadOnlyFile> file_;
  FileStamp stamp_;
  std::int64_t entries_ = 0;
  std::int64_t next_ = 1;
  std::int64_t first_ = 0;
  std::int64_t count_ = 0;
  std::int64_t blockEntries_ = 1;
  std::int64_t lastPump_ = 0;
  // The block at hand. Left uninitialised: every block is read over it, and zeroing a
  // megabyte costs as much as scanning a good part of it.
  std::unique_ptr<unsigned char[]> buffer_;
  std::int64_t bufferEntries_ = 0;
  // The reading thread, when reading ahead; last, so that it stops before the rest goes.
  std::unique_ptr<Ahead> ahead_;
};

}  // namespace tomo
