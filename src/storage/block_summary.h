// A summary of the record file's blocks, recorded by the passes that read them: enough about
// each block for a fill to pass over a block without reading it, exactly as reading it would.
//
// A fill looks only at entries of the records it shows; of every other entry all that
// matters is the run of same-named entries it belongs to, since an entry of another name
// ends the value being collected and one of the same name and another record does not.
// Passing over a block therefore needs only the run of its last entry: that entry's name and
// where its run begins. The summary belongs to one file as it was (path and stamp) and one
// block size; it is dropped when either differs.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "storage/database.h"
#include "storage/entry_blocks.h"
#include "storage/name_key.h"

namespace tomo {

struct SummarizedBlock {
  std::int64_t first = 0;  // entry number of its first entry
  std::int64_t count = 0;
  std::int64_t lowest = 0;  // the lowest and highest record number of its entries
  std::int64_t highest = 0;
  std::optional<NameKey> lastName;  // none when the last entry's name field has no zero byte
  // Where the last entry's run begins, counted from the block's first entry; 0 when the run
  // reaches back through the whole block and may go on in the block before.
  std::int64_t lastRun = 0;

  // False when none of its entries belongs to a record `firstRecord`, `firstRecord` + 1, ...
  // (wrapping) of the `shown` ones (at least 1).
  bool MayHold(std::int64_t firstRecord, std::uint64_t shown) const;
};

struct BlockSummary {
  std::string path;
  FileStamp file;
  std::int64_t blockEntries = 0;
  std::vector<SummarizedBlock> blocks;  // the file's first blocks, in order
};

// A pass over the record file from its first block that knows the blocks already summarized
// and summarizes those it reads anew. What it learnt goes into the read state when it ends,
// unless an operation run during the pass has replaced the summary meanwhile.
class SummarizedBlocks {
 public:
  // `blocks` must start at entry 1 and not have been read yet.
  SummarizedBlocks(const Database& database, EntryBlocks& blocks);
  ~SummarizedBlocks();
  SummarizedBlocks(const SummarizedBlocks&) = delete;
  SummarizedBlocks& operator=(const SummarizedBlocks&) = delete;

  // The summary of the block that comes next; nullptr when it is not known.
  const SummarizedBlock* Ahead() const;
  // Goes past the block that comes next without reading it; it must be known.
  void PassOver();
  // Reads the next block as EntryBlocks::Next does.
  bool Next();

 private:
  ReadState& state_;
  EntryBlocks& blocks_;
  std::shared_ptr<const BlockSummary> taken_;  // the read state's summary when the pass began
  std::shared_ptr<BlockSummary> learnt_;       // a fresh or extended one, once there is one
  const BlockSummary* known_ = nullptr;        // what the pass goes by
  std::size_t next_ = 0;                       // the block that comes next
  bool whole_ = true;                          // every block so far was read whole
};

}  // namespace tomo
