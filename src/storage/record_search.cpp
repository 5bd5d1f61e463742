// FindRecordByValue: the first record whose value in a field equals the typed text, found
// in one pass over the record file.
//
// The search reads records 1, 2, ... in order, each from ScanStart, and a read moves
// ScanStart to the value's last entry. Instead of one scan per record, the pass collects
// every completed value of the field (an entry marked 1) and decides right there for which
// scan starts its text equals the typed text; the reads are then replayed on those
// completions. While the values come in record order the replay runs along with the pass
// and stops it at the first match. Only the field's entries are decoded: the others are
// passed over by a look at the first word or so of their name. The blocks read go into the
// file's summary, for the fills after it.
#include <algorithm>
#include <limits>
#include <unordered_map>
#include <vector>

#include "storage/block_summary.h"
#include "storage/entry_blocks.h"
#include "storage/name_key.h"
#include "storage/record_file.h"

namespace tomo {

namespace {

// A value of the field completed at `position`. A read of the record from a scan start s
// with matchAfter < s <= matchUpTo gives exactly the typed text; matchUpTo is 0 when no
// start does.
struct Completion {
  std::int64_t record = 0;
  std::int64_t position = 0;
  std::int64_t matchAfter = 0;
  std::int64_t matchUpTo = 0;
};

// The characters a record has collected since the last entry of another field or its own
// last completion. Only the last ones are kept, with their entry numbers: as many as the
// typed text has, and one more.
class OpenValue {
 public:
  void Append(char character, std::int64_t position, std::size_t keep) {
    text_ += character;
    positions_.push_back(position);
    ++length_;
    if (text_.size() > 2 * keep) {
      const std::size_t drop = text_.size() - keep;
      text_.erase(0, drop);
      positions_.erase(positions_.begin(), positions_.begin() + static_cast<std::ptrdiff_t>(drop));
    }
  }

  void Reset() {
    text_.clear();
    positions_.clear();
    length_ = 0;
  }

  // The scan starts for which the collected text, read from that start on, is `typed`: those
  // after the character before the typed text's first one, up to that first one.
  Completion Complete(std::int64_t record, std::int64_t position, std::string_view typed) const {
    Completion done{record, position, 0, 0};
    const std::size_t t = typed.size();
    if (t == 0 || length_ < t || std::string_view(text_).substr(text_.size() - t) != typed) {
      return done;
    }
    const std::size_t first = text_.size() - t;
    done.matchUpTo = positions_[first];
    done.matchAfter =
        length_ > t ? positions_[first - 1] : std::numeric_limits<std::int64_t>::min();
    return done;
  }

 private:
  std::string text_;
  std::vector<std::int64_t> positions_;
  std::size_t length_ = 0;
};

class ValueSearch {
 public:
  ValueSearch(std::string_view field, std::string typed, std::int64_t lastRecord,
              std::int64_t scanRecord)
      : field_(field), typed_(std::move(typed)), last_(lastRecord), scanRecord_(scanRecord) {}

  void Pass(EntryBlocks& blocks, SummarizedBlocks& summarized) {
    // Most entries are of other fields: they are passed over by a look at their name.
    const auto ofField = [field = field_](const unsigned char* entry) {
      return field.Matches(entry);
    };
    while (summarized.Next()) {
      for (std::int64_t k = blocks.FindFrom(0, ofField); k < blocks.Count();
           k = blocks.FindFrom(k + 1, ofField)) {
        OnEntry(blocks.Bytes(k), blocks.First() + k);
        if (done_) return;
      }
    }
    Replay();
  }

  std::int64_t Found() const { return found_; }
  std::int64_t ScanStart() const { return start_; }
  std::int64_t ScanRecord() const { return scanRecord_; }

 private:
  // An entry of the field.
  void OnEntry(const unsigned char* entry, std::int64_t position) {
    // Entries of other names in between end the run: every value being collected starts
    // again.
    if (position != lastOfField_ + 1) {
      hasCurrent_ = false;
      if (!open_.empty()) open_.clear();
    }
    lastOfField_ = position;
    const std::int64_t record = EntryRecord(entry);
    // Records already read, and those the search never reads, need nothing.
    if (record < next_ || record > last_) return;
    OpenValue& value = Open(record);
    value.Append(EntryCharacter(entry), position, typed_.size() + 1);
    if (EntryMark(entry) != 1) return;
    const Completion done = value.Complete(record, position, typed_);
    hasCurrent_ = false;
    // Following along: the record about to be read completes after ScanStart moved to where
    // the search arrived at it, so this is the first completion it can find.
    if (following_ && done.record == next_ && done.position >= start_) {
      following_ = done.record != scanRecord_;  // else ScanStart stays behind: replay later
      done_ = Read(&done);
      return;
    }
    completions_.push_back(done);
  }

  // The open value of the record. A run mostly holds one record's characters: that record's
  // value is kept apart, and reused from value to value without allocating anything.
  OpenValue& Open(std::int64_t record) {
    if (hasCurrent_ && record == currentRecord_) return current_;
    if (hasCurrent_) open_[currentRecord_] = std::move(current_);
    const auto stored = open_.find(record);
    if (stored != open_.end()) {
      current_ = std::move(stored->second);
      open_.erase(stored);
    } else {
      current_.Reset();
    }
    currentRecord_ = record;
    hasCurrent_ = true;
    return current_;
  }

  // The read of record next_ from ScanStart, finding `value` (nullptr: "No datos"). True
  // when the search is over.
  bool Read(const Completion* value) {
    bool equal = typed_ == kNoData;
    if (value) {
      equal = value->matchUpTo != 0 && value->matchAfter < start_ && start_ <= value->matchUpTo;
      if (next_ != scanRecord_) {
        start_ = value->position;
        scanRecord_ = next_;
      }
    }
    if (equal) {
      found_ = next_;
      return true;
    }
    if (next_ == last_) return true;
    ++next_;
    return false;
  }

  // The reads that the pass could not decide, in record order. Records without any value
  // read "No datos" and change nothing, so they are passed over together.
  void Replay() {
    const auto byRecord = [](const Completion& a, const Completion& b) {
      return a.record < b.record;
    };
    // Values come in record order in a well-formed file.
    if (!std::is_sorted(completions_.begin(), completions_.end(), byRecord)) {
      std::stable_sort(completions_.begin(), completions_.end(), byRecord);
    }
    auto it = completions_.begin();
    while (!done_) {
      while (it != completions_.end() && it->record < next_) ++it;
      if (it == completions_.end() || it->record > next_) {
        if (typed_ == kNoData) {
          found_ = next_;
          return;
        }
        if (it == completions_.end()) return;
        next_ = it->record;
        continue;
      }
      auto end = it;
      while (end != completions_.end() && end->record == next_) ++end;
      const auto value = std::lower_bound(
          it, end, start_, [](const Completion& c, std::int64_t s) { return c.position < s; });
      done_ = Read(value == end ? nullptr : &*value);
    }
  }

  const NameKey field_;
  const std::string typed_;
  const std::int64_t last_;
  std::int64_t next_ = 1;
  std::int64_t start_ = 1;
  std::int64_t scanRecord_;
  bool following_ = true;
  bool done_ = false;
  std::int64_t found_ = 0;
  std::int64_t lastOfField_ = 0;  // the entry number of the field's latest entry
  // The values being collected: the latest record's, and the others'.
  OpenValue current_;
  std::int64_t currentRecord_ = 0;
  bool hasCurrent_ = false;
  std::unordered_map<std::int64_t, OpenValue> open_;
  std::vector<Completion> completions_;
};

}  // namespace

std::int64_t FindRecordByValue(const Database& database, std::string_view fieldName,
                               const std::string& typed) {
  ReadState& state = database.state;
  EntryBlocks blocks(database, 1);
  const std::int64_t last = blocks.LastRecord();
  ValueSearch search(fieldName, typed, last, state.ScanRecord);
  if (last >= 1) {
    SummarizedBlocks summarized(database, blocks);
    search.Pass(blocks, summarized);
  }
  state.ScanStart = search.ScanStart();
  state.ScanRecord = search.ScanRecord();
  return search.Found();
}

}  // namespace tomo
