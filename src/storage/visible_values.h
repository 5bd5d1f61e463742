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
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shell/app.h"
#include "storage/char_entry.h"

namespace tomo {

class VisibleValues {
 public:
  // Gathers the values of the fields `names` in the `columns` records from `first` on, and
  // the entry number of the first entry of field `viewName` in record `first` when
  // `findViewStart` is set.
  VisibleValues(App& app, std::vector<std::string> names, std::int64_t first, std::int64_t columns,
                bool findViewStart, std::string viewName);

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
    std::uint64_t run;   // the run of same-named entries it was made in
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
    std::uint64_t collectedRun = 0;
    std::vector<Answer> answers;  // in ascending order of start
  };

  void Pass(App& app);
  void OnEntry(const CharEntry& entry, std::int64_t position);
  void Follow(std::vector<Column>& row, std::size_t from, std::int64_t position);
  void Collect(std::vector<Column>& row, std::size_t column, char character, std::int64_t position,
               bool last);
  bool Settled() const { return waitingColumns_ == 0 && (!findViewStart_ || viewStart_ != 0); }

  const std::vector<std::string> names_;
  const std::int64_t first_;
  const bool findViewStart_;
  const std::string viewName_;
  std::int64_t viewStart_ = 0;
  std::vector<std::vector<Column>> columns_;  // [name][column]
  std::vector<std::string> texts_;
  std::int64_t waitingColumns_ = 0;
  std::uint64_t run_ = 0;
  std::string runName_;
  bool runNamed_ = false;
  std::ptrdiff_t runRow_ = -1;  // the name of the current run among names_, -1 for none
};

}  // namespace tomo
