#include "storage/block_summary.h"

#include <algorithm>
#include <limits>

namespace tomo {

namespace {

SummarizedBlock Summarize(const EntryBlocks& blocks) {
  SummarizedBlock block{blocks.First(), blocks.Count(), 0, 0, std::nullopt, 0};
  std::int64_t lowest = EntryRecord(blocks.Bytes(0));
  std::int64_t highest = lowest;
  for (std::int64_t k = 1; k < blocks.Count(); ++k) {
    const std::int64_t record = EntryRecord(blocks.Bytes(k));
    lowest = std::min(lowest, record);
    highest = std::max(highest, record);
  }
  block.lowest = lowest;
  block.highest = highest;
  std::int64_t run = blocks.Count() - 1;
  block.lastName = NameKey::Of(blocks.Bytes(run));
  if (block.lastName) {
    while (run > 0 && block.lastName->Matches(blocks.Bytes(run - 1))) --run;
  }
  block.lastRun = run;
  return block;
}

}  // namespace

bool SummarizedBlock::MayHold(std::int64_t firstRecord, std::uint64_t shown) const {
  // Counted from `firstRecord`, the block's records lie in lowest - first .. + width, which may
  // wrap past the largest number to 0.
  const std::uint64_t from =
      static_cast<std::uint64_t>(lowest) - static_cast<std::uint64_t>(firstRecord);
  const std::uint64_t width =
      static_cast<std::uint64_t>(highest) - static_cast<std::uint64_t>(lowest);
  return from < shown || from > std::numeric_limits<std::uint64_t>::max() - width;
}

SummarizedBlocks::SummarizedBlocks(const Database& database, EntryBlocks& blocks)
    : state_(database.state), blocks_(blocks), taken_(database.state.Summary) {
  const bool valid = taken_ && taken_->path == database.recordFilePath &&
                     taken_->file == blocks.Stamp() &&
                     taken_->blockEntries == blocks.BlockEntries();
  if (valid) {
    known_ = taken_.get();
  } else {
    learnt_ = std::make_shared<BlockSummary>(
        BlockSummary{database.recordFilePath, blocks.Stamp(), blocks.BlockEntries(), {}});
    known_ = learnt_.get();
  }
}

SummarizedBlocks::~SummarizedBlocks() {
  if (learnt_ && state_.Summary == taken_) state_.Summary = std::move(learnt_);
}

const SummarizedBlock* SummarizedBlocks::Ahead() const {
  return next_ < known_->blocks.size() ? &known_->blocks[next_] : nullptr;
}

void SummarizedBlocks::PassOver() {
  blocks_.PassOver(known_->blocks[next_].count);
  ++next_;
}

bool SummarizedBlocks::Next() {
  if (!blocks_.Next()) return false;
  // A block cut short by another program changing the file is not summarized, nor any
  // after it.
  whole_ = whole_ && blocks_.Count() ==
                         std::min(blocks_.BlockEntries(), blocks_.Entries() - blocks_.First() + 1);
  if (whole_ && next_ == known_->blocks.size()) {
    if (!learnt_) learnt_ = std::make_shared<BlockSummary>(*taken_);
    learnt_->blocks.push_back(Summarize(blocks_));
    known_ = learnt_.get();
  }
  ++next_;
  return true;
}

}  // namespace tomo
