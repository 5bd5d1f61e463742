#include "storage/entry_blocks.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace tomo {

// The thread that reads ahead, and the block it hands over to Next.
struct EntryBlocks::Ahead {
  std::mutex mutex;
  std::condition_variable changed;
  std::unique_ptr<unsigned char[]> buffer;  // the block read ahead
  std::int64_t entries = 0;                 // its whole entries
  bool ready = false;                       // read, and not yet taken by Next
  bool stop = false;                        // the pass ends: read no more
  std::thread thread;
};

EntryBlocks::EntryBlocks(const Database& database, std::int64_t first)
    : pump_(database.pump),
      pumpMicroseconds_(database.state.ScanPumpMicroseconds),
      file_(database.files.OpenForReading(database.recordFilePath)),
      stamp_(file_->Stamp()),
      entries_(std::max<std::int64_t>(stamp_.length, 0) / kEntrySize),
      next_(std::max<std::int64_t>(first, 1)),
      blockEntries_(std::max<std::int64_t>(database.state.ScanBlockEntries, 1)),
      lastPump_(pump_.NowMicroseconds()) {}

EntryBlocks::~EntryBlocks() {
  if (!ahead_) return;
  {
    const std::lock_guard lock(ahead_->mutex);
    ahead_->stop = true;
  }
  ahead_->changed.notify_all();
  ahead_->thread.join();
}

std::int64_t EntryBlocks::LastRecord() {
  if (entries_ == 0) return 0;
  unsigned char bytes[kEntryBytes];
  if (file_->ReadAt((entries_ - 1) * kEntrySize, bytes, kEntryBytes) != kEntryBytes) return 0;
  return DecodeEntry(bytes).record;
}

std::int64_t EntryBlocks::ReadInto(unsigned char* buffer, std::int64_t from,
                                   std::int64_t wanted) const {
  const std::size_t got = file_->ReadAt((from - 1) * kEntrySize, buffer,
                                        static_cast<std::size_t>(wanted) * kEntryBytes);
  return static_cast<std::int64_t>(got / kEntryBytes);
}

bool EntryBlocks::Next() {
  if (next_ > entries_) return false;
  if (count_ > 0) PumpWhenDue();
  const std::int64_t wanted = std::min(blockEntries_, entries_ - next_ + 1);
  if (ahead_) {
    std::unique_lock lock(ahead_->mutex);
    ahead_->changed.wait(lock, [this] { return ahead_->ready; });
    std::swap(buffer_, ahead_->buffer);
    count_ = ahead_->entries;
    ahead_->ready = false;
    ahead_->changed.notify_all();
  } else {
    // Only the file's last block is smaller than the others; a pass may begin with it.
    if (wanted > bufferEntries_) {
      buffer_ = std::make_unique_for_overwrite<unsigned char[]>(static_cast<std::size_t>(wanted) *
                                                                kEntryBytes);
      bufferEntries_ = wanted;
    }
    count_ = ReadInto(buffer_.get(), next_, wanted);
  }
  // A file cut short by another program ends at its last whole entry.
  first_ = next_;
  next_ = count_ == wanted ? next_ + count_ : entries_ + 1;
  return count_ > 0;
}

void EntryBlocks::ReadAhead() {
  if (ahead_ || next_ > entries_) return;
  // Two buffers, each as large as any block to come: the one looked at, and the one read.
  const std::int64_t most = std::min(blockEntries_, entries_ - next_ + 1);
  const auto bytes = static_cast<std::size_t>(most) * kEntryBytes;
  buffer_ = std::make_unique_for_overwrite<unsigned char[]>(bytes);
  bufferEntries_ = most;
  ahead_ = std::make_unique<Ahead>();
  ahead_->buffer = std::make_unique_for_overwrite<unsigned char[]>(bytes);
  // The blocks that Next would read: from next_ on, to the end or to a block cut short.
  ahead_->thread = std::thread([this, from = next_] {
    Ahead& ahead = *ahead_;
    for (std::int64_t at = from; at <= entries_;) {
      const std::int64_t wanted = std::min(blockEntries_, entries_ - at + 1);
      const std::int64_t got = ReadInto(ahead.buffer.get(), at, wanted);
      std::unique_lock lock(ahead.mutex);
      ahead.entries = got;
      ahead.ready = true;
      ahead.changed.notify_all();
      ahead.changed.wait(lock, [&ahead] { return !ahead.ready || ahead.stop; });
      if (ahead.stop || got < wanted) return;
      at += wanted;
    }
  });
}

void EntryBlocks::PumpWhenDue() {
  if (pump_.NowMicroseconds() - lastPump_ < pumpMicroseconds_) return;
  pump_.PumpMessages();
  lastPump_ = pump_.NowMicroseconds();
}

}  // namespace tomo
