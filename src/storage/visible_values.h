// The values a grid fill shows, gathered in one pass over the record file.
//
// A fill reads, row by row, the values of the records P, P+1, ... of one field, each read
// scanning from ScanStart to the first completed value (an entry marked 1) of its field and
// record, and moving ScanStart there. Which completion a read finds, and which of its
// characters it collects, depends only on the scan start. So the pass follows, for every
// shown field name and column, the scan starts a read of that column can have: the row's
// start (entry 1, or ViewStart once found), and every completion found from an earlier
// column's possible start. Each start is settled by the column's next completion, with the
// characters collected from that start on; a start never settled reads "No datos". The
// fill then replays its reads on these answers.
//
// Only entries of the shown records matter, so the pass looks at every entry's record
// number and at nothing else of the others. A run of same-named entries is known by the
// entry number where it began, found by looking back from a shown entry over the entries of
// its name, never further back than the entry whose run was found last. Blocks that the
// file's summary shows to hold no entry of a shown record are not read at all: of them only
// the run of their last entry matters, and the summary holds it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/database.h"
#include "storage/entry_blocks.h"
#include "storage/name_key.h"

namespace tomo {

struct SummarizedBlock;

class VisibleValues {
 public:
  // Gathers the values of the fields `names` in the `columns` records from `first` on, and
  // the entry number of the first entry of field `viewName` in record `first` when
  // `findViewStart` is set.
  VisibleValues(const Database& database, std::vector<std::string> names, std::int64_t first,
                std::int64_t columns, bool findViewStart, std::string viewName);

  std::int64_t ViewStart() const { return viewStart_; }

  struct Read {
    bool found = false;
    std::int64_t completion = 0;  // entry number of the value's last character
    std::string_view text;
  };
  // The read of field names[name] in record first + column from scan start `start`, which
  // must be a start the pass followed.
  Read ReadFrom(std::size_t name, std::int64_t column, std::int64_t start) const;

 private:
  struct Start {
    std::int64_t position;
    std::int64_t run;    // the run of same-named entries it was made in
    std::size_t offset;  // characters the column had collected in that run before it
  };
  struct Answer {
    std::int64_t start;
    std::int64_t completion;
    std::size_t text;
    std::size_t offset;
  };
  struct Column {
    std::vector<Start> waiting;
    std::string collected;  // since the start of the run `collectedRun` or the last completion
    std::int64_t collectedRun = 0;
    std::vector<Answer> answers;  // in ascending order of start
  };

  void Pass(const Database& database);
  void PassOver(const SummarizedBlock& block);
  bool OnShownRecord(const EntryBlocks& blocks, std::int64_t k, std::uint64_t column);
  std::int64_t RunStart(const EntryBlocks& blocks, std::int64_t k, const NameKey& name);
  void Follow(std::vector<Column>& row, std::size_t from, std::int64_t position);
  void Collect(std::vector<Column>& row, std::size_t column, char character, std::int64_t position,
               bool last);
  bool Settled() const { return waitingColumns_ == 0 && (!findViewStart_ || viewStart_ != 0); }

  const std::vector<NameKey> names_;
  const std::int64_t first_;
  const bool findViewStart_;
  const NameKey viewName_;
  std::int64_t viewStart_ = 0;
  std::vector<std::vector<Column>> columns_;  // [name][column]
  const std::uint64_t columnCount_;
  std::vector<std::string> texts_;
  std::int64_t waitingColumns_ = 0;
  // The run of the entry at hand: the entry number where it began; 0 before the first entry.
  std::int64_t run_ = 0;
  // The latest entry whose run is known; a look back for a run's start stops there.
  struct KnownRun {
    std::int64_t position = 0;
    std::optional<NameKey> name;
    std::int64_t start = 0;
  };
  KnownRun known_;
};

}  // namespace tomo
