// What reading a database takes: its two files, the read state that reads share, and the
// host's message pump. The viewer and tomodb read through it alike.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/files.h"
#include "platform/scan_pump.h"

namespace tomo {

struct BlockSummary;

// The read positions that reads of the record file share, and how scans are paced.
struct ReadState {
  std::int64_t ScanStart = 0;
  std::int64_t ScanRecord = 0;
  std::int64_t ViewStart = 0;
  // Entries per block read (about 1 MiB), and the scanning time after which pending window
  // messages are let through. Tests make both small.
  std::int64_t ScanBlockEntries = 19418;
  std::int64_t ScanPumpMicroseconds = 10000;
  // What the passes over the record file learnt of its blocks, so that a fill can pass over
  // the blocks that hold none of the records it shows (storage/block_summary.h). Dropping
  // it makes the next fill read the file anew.
  std::shared_ptr<const BlockSummary> Summary;
};

struct Database {
  Files& files;
  ScanPump& pump;
  std::string fieldFilePath;  // empty while no database is chosen: no file is opened then
  std::string recordFilePath;
  ReadState& state;
};

}  // namespace tomo
