#include "storage/visible_values.h"

#include <algorithm>

#include "storage/block_summary.h"
#include "storage/entry_blocks.h"

namespace tomo {

VisibleValues::VisibleValues(const Database& database, std::vector<std::string> names,
                             std::int64_t first, std::int64_t columns, bool findViewStart,
                             std::string viewName)
    : names_(names.begin(), names.end()),
      first_(first),
      findViewStart_(findViewStart),
      viewName_(viewName),
      columns_(names_.size(),
               std::vector<Column>(static_cast<std::size_t>(std::max<std::int64_t>(columns, 0)))),
      columnCount_(static_cast<std::uint64_t>(std::max<std::int64_t>(columns, 0))) {
  // While ViewStart is 0 every row reads from entry 1.
  for (auto& row : columns_) Follow(row, 0, 1);
  Pass(database);
}

VisibleValues::Read VisibleValues::ReadFrom(std::size_t name, std::int64_t column,
                                            std::int64_t start) const {
  const std::vector<Answer>& answers = columns_[name][static_cast<std::size_t>(column)].answers;
  const auto answer = std::lower_bound(answers.begin(), answers.end(), start,
                                       [](const Answer& a, std::int64_t s) { return a.start < s; });
  if (answer == answers.end() || answer->start != start) return Read{};
  return Read{true, answer->completion,
              std::string_view(texts_[answer->text]).substr(answer->offset)};
}

void VisibleValues::Pass(const Database& database) {
  if (Settled()) return;
  // Record numbers wrap as the columns' record numbers do. The first record is also where
  // ViewStart is looked for, even without columns.
  const auto first = static_cast<std::uint64_t>(first_);
  const std::uint64_t shown = std::max<std::uint64_t>(columnCount_, 1);
  const auto column = [first](const unsigned char* entry) {
    return static_cast<std::uint64_t>(EntryRecord(entry)) - first;
  };
  const auto ofShownRecord = [&column, shown](const unsigned char* entry) {
    return column(entry) < shown;
  };
  EntryBlocks blocks(database, 1);
  SummarizedBlocks summarized(database, blocks);
  for (;;) {
    if (const SummarizedBlock* ahead = summarized.Ahead();
        ahead && !ahead->MayHold(first_, shown)) {
      PassOver(*ahead);
      summarized.PassOver();
      continue;
    }
    if (!summarized.Next()) break;
    const std::int64_t count = blocks.Count();
    for (std::int64_t k = blocks.FindFrom(0, ofShownRecord); k < count;
         k = blocks.FindFrom(k + 1, ofShownRecord)) {
      if (OnShownRecord(blocks, k, column(blocks.Bytes(k)))) return;
    }
    // The run of the block's last entry, for a run that goes on into the next block.
    const std::int64_t last = blocks.First() + count - 1;
    if (known_.position == last) continue;
    if (const std::optional<NameKey> name = NameKey::Of(blocks.Bytes(count - 1))) {
      RunStart(blocks, count - 1, *name);
    } else {
      known_ = KnownRun{last, std::nullopt, last};
    }
  }
}

// A block without entries of the shown records, known from the summary: reading it would
// only have found the run of its last entry.
void VisibleValues::PassOver(const SummarizedBlock& block) {
  const std::int64_t last = block.first + block.count - 1;
  std::int64_t start = block.lastName ? block.first + block.lastRun : last;
  // A run through the whole block goes on from the last entry of the block before.
  if (block.lastName && block.lastRun == 0 && known_.position == block.first - 1 &&
      known_.name == block.lastName) {
    start = known_.start;
  }
  known_ = KnownRun{last, block.lastName, start};
}

// An entry of a shown record: true once every read is settled.
bool VisibleValues::OnShownRecord(const EntryBlocks& blocks, std::int64_t k, std::uint64_t column) {
  const unsigned char* entry = blocks.Bytes(k);
  const std::int64_t position = blocks.First() + k;
  const auto name = std::find_if(names_.begin(), names_.end(),
                                 [&](const NameKey& n) { return n.Matches(entry); });
  const bool view = findViewStart_ && viewStart_ == 0 && column == 0 && viewName_.Matches(entry);
  if (name == names_.end() && !view) return false;
  run_ = RunStart(blocks, k, view ? viewName_ : *name);
  if (view) {
    viewStart_ = position;
    for (auto& row : columns_) Follow(row, 0, position);
    if (Settled()) return true;
  }
  if (name == names_.end() || column >= columnCount_) return false;
  Collect(columns_[static_cast<std::size_t>(name - names_.begin())],
          static_cast<std::size_t>(column), EntryCharacter(entry), position, EntryMark(entry) == 1);
  return Settled();
}

// The entry number where the run of entry k, of the given name, began: the entry after the
// last one before it of another name, or without one.
std::int64_t VisibleValues::RunStart(const EntryBlocks& blocks, std::int64_t k,
                                     const NameKey& name) {
  std::int64_t start = blocks.First() + k;
  // Entries start .. k have the name; is the one before start of it too?
  for (std::int64_t j = k;; --j, --start) {
    if (known_.position == start - 1) {
      if (known_.name == name) start = known_.start;
      break;
    }
    // Before the block's first entry lies the last one of the block before, whose run was
    // found at the end of that block: the known one, unless there is none.
    if (j == 0 || !name.Matches(blocks.Bytes(j - 1))) break;
  }
  known_ = KnownRun{blocks.First() + k, name, start};
  return start;
}

void VisibleValues::Follow(std::vector<Column>& row, std::size_t from, std::int64_t position) {
  for (std::size_t c = from; c < row.size(); ++c) {
    Column& column = row[c];
    if (!column.waiting.empty() && column.waiting.back().position == position) continue;
    if (column.waiting.empty()) ++waitingColumns_;
    const std::size_t offset = column.collectedRun == run_ ? column.collected.size() : 0;
    column.waiting.push_back(Start{position, run_, offset});
  }
}

void VisibleValues::Collect(std::vector<Column>& row, std::size_t c, char character,
                            std::int64_t position, bool last) {
  Column& column = row[c];
  // Characters matter only to a read waiting for this column's value.
  if (column.waiting.empty()) return;
  if (column.collectedRun != run_) {
    column.collected.clear();
    column.collectedRun = run_;
  }
  column.collected += character;
  if (!last) return;
  const std::size_t text = texts_.size();
  for (const Start& start : column.waiting) {
    column.answers.push_back(
        Answer{start.position, position, text, start.run == run_ ? start.offset : 0});
  }
  texts_.push_back(std::move(column.collected));
  column.collected.clear();
  column.waiting.clear();
  --waitingColumns_;
  // A read that finds this value moves ScanStart here for the columns after it.
  Follow(row, c + 1, position);
}

}  // namespace tomo
