#include "storage/entry_blocks.h"

#include <algorithm>

namespace tomo {

EntryBlocks::EntryBlocks(const Database& database, std::int64_t first)
    : pump_(database.pump),
      pumpMicroseconds_(database.state.ScanPumpMicroseconds),
      file_(database.files.OpenForReading(database.recordFilePath)),
      stamp_(file_->Stamp()),
      entries_(std::max<std::int64_t>(stamp_.length, 0) / kEntrySize),
      next_(std::max<std::int64_t>(first, 1)),
      blockEntries_(std::max<std::int64_t>(database.state.ScanBlockEntries, 1)),
      lastPump_(pump_.NowMicroseconds()) {}

std::int64_t EntryBlocks::LastRecord() {
  if (entries_ == 0) return 0;
  unsigned char bytes[kEntryBytes];
  if (file_->ReadAt((entries_ - 1) * kEntrySize, bytes, kEntryBytes) != kEntryBytes) return 0;
  return DecodeEntry(bytes).record;
}

bool EntryBlocks::Next() {
  if (next_ > entries_) return false;
  if (count_ > 0) PumpWhenDue();
  const std::int64_t wanted = std::min(blockEntries_, entries_ - next_ + 1);
  const auto bytes = static_cast<std::size_t>(wanted) * kEntryBytes;
  // Only the file's last block is smaller than the others; a pass may begin with it.
  if (wanted > bufferEntries_) {
    buffer_ = std::make_unique_for_overwrite<unsigned char[]>(bytes);
    bufferEntries_ = wanted;
  }
  const std::size_t got = file_->ReadAt((next_ - 1) * kEntrySize, buffer_.get(), bytes);
  // A file cut short by another program ends at its last whole entry.
  first_ = next_;
  count_ = static_cast<std::int64_t>(got / kEntryBytes);
  next_ = count_ == wanted ? next_ + count_ : entries_ + 1;
  return count_ > 0;
}

void EntryBlocks::PumpWhenDue() {
  if (pump_.NowMicroseconds() - lastPump_ < pumpMicroseconds_) return;
  pump_.PumpMessages();
  lastPump_ = pump_.NowMicroseconds();
}

}  // namespace tomo
