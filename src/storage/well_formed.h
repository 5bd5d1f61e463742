// The well-formed order of a database: the order in which its records can be read one
// after the other. `tomodb check` reports what breaks it, and the record stream
// (record_stream.h) reads only files that keep it.
//
// A file is well formed when field names are unique, every entry's name field holds a zero
// byte and names a field, record numbers are 1 or more and never decrease, within a record
// each field's value is one run of consecutive entries, the runs in field order, and exactly
// the last entry of a run is marked 1 (every other one 0).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "storage/char_entry.h"
#include "storage/database.h"
#include "storage/field_def.h"
#include "storage/name_key.h"

namespace tomo {

enum class Fault {
  kPartialFieldRecord,   // the field definition file ends inside a field record
  kPartialEntry,         // the record file ends inside an entry
  kDuplicateFieldName,   // a field named as an earlier field
  kTypeOutOfRange,       // a type code outside 0..9
  kUnterminatedName,     // an entry's name field holds no zero byte
  kUnknownName,          // an entry's name names no field
  kRecordBelowOne,       // an entry's record number is below 1
  kRecordOutOfOrder,     // a run's record number is below an earlier entry's
  kInterruptedRun,       // a field's value goes on after entries of other values
  kFieldOutOfOrder,      // a field's value after a later field's value in its record
  kBadMarks,             // a run not ended by exactly one mark 1, or a mark other than 0 and 1
  kLastEntryNotHighest,  // the last entry does not belong to the highest record
};
inline constexpr std::size_t kFaultKinds = 12;

// Not faults of the order, but each changes which records an export writes.
enum class Note {
  kAboveRecordCount,  // entries of a record above the record count (the last entry's record),
                      // noted once for each stretch of them
  kRecordJump,        // a run of a record far above every record before it
};
inline constexpr std::size_t kNoteKinds = 2;
// How far above every record before it a record number is a jump worth a note.
inline constexpr std::int64_t kRecordJump = 1000;

// What breaks the order: by kind, how often, and where first (entry numbers, or field
// numbers for the field table's faults).
class Faults {
 public:
  static constexpr std::size_t kFirstKept = 5;
  struct Kind {
    std::int64_t count = 0;
    std::vector<std::int64_t> first;
  };
  void Add(Fault fault, std::int64_t position);
  void Add(Note note, std::int64_t position);
  const Kind& Of(Fault fault) const { return kinds_[static_cast<std::size_t>(fault)]; }
  const Kind& Of(Note note) const { return notes_[static_cast<std::size_t>(note)]; }
  // Whether there are faults; notes are none.
  bool Any() const;

  std::int64_t highestRecord = 0;  // the highest record number that has an entry

 private:
  std::array<Kind, kFaultKinds> kinds_{};
  std::array<Kind, kNoteKinds> notes_{};
};

// Follows the entries of the record file one by one and notes what breaks the order.
class EntryOrder {
 public:
  // Notes the field table's duplicate names.
  explicit EntryOrder(const std::vector<FieldDef>& fields);
  // Notes the runs of records above `recordCount` from now on.
  void NoteRecordsAbove(std::int64_t recordCount) { recordCount_ = recordCount; }

  // Takes the next entry, number `number`; false when it breaks the order. A run that is not
  // ended by its mark 1 is found at the entry after it, or by Finish.
  bool Take(std::int64_t number, const unsigned char* entry) {
    // Most entries go on with the run of the entry before.
    if (run_.open && OfRun(entry, run_.record, fieldNames_[run_.field])) {
      lastEntryRecord_ = run_.record;
      return GoOn(EntryMark(entry));
    }
    return TakeOther(number, entry);
  }
  // Takes as many of the `count` entries from `entries` on as go on with the run at hand, as
  // Take would; stops at the first other one, or one Take would note a fault at, which is
  // Take's to judge. Returns how many it took. Most entries lie inside a run, and this looks
  // at them with nothing else to do. Puts the character of each entry looked at, from
  // `entries` on, at characters[0], [1], ... (room for `count`).
  std::int64_t TakeRunGoingOn(const unsigned char* entries, std::int64_t count, char* characters);
  // After the last whole entry, `entries`, with `trailingBytes` of a partial one after it.
  // False when something broke the order then.
  bool Finish(std::int64_t entries, std::int64_t trailingBytes);
  // The field (from 0) of the last entry taken, when Take accepted it.
  std::size_t Field() const { return run_.field; }
  const Faults& Found() const { return faults_; }
  // The highest record number of the entries taken; 0 before any.
  std::int64_t HighestRecord() const { return anyEntry_ ? highestEntryRecord_ : 0; }

 private:
  // What an entry's mark says of its run: the run goes on after it (0), ends with it (1), or
  // the mark breaks the order (anything else).
  enum class MarkSays { kGoesOn, kEnds, kBreaks };
  static MarkSays Says(std::int32_t mark) {
    return mark == 0 ? MarkSays::kGoesOn : mark == 1 ? MarkSays::kEnds : MarkSays::kBreaks;
  }
  // The entry belongs to the run of `record` and of the field whose name `name` matches.
  template <typename Name>
  static bool OfRun(const unsigned char* entry, std::int64_t record, const Name& name) {
    return EntryRecord(entry) == record && name.Matches(entry);
  }
  // Takes the mark of an entry of the open run; false when the run had ended before it or
  // the mark breaks the order.
  bool GoOn(std::int32_t mark) {
    const MarkSays says = Says(mark);
    if (!run_.ended && says != MarkSays::kBreaks) {
      run_.ended = says == MarkSays::kEnds;
      return true;
    }
    return GoOnBadly();
  }
  bool GoOnBadly();
  // The entries from `entries` on that go on with the open run, whose field's name `name`
  // matches, as TakeRunGoingOn takes them: how many, and whether the last one ends the run.
  template <typename Name>
  std::pair<std::int64_t, bool> GoingOn(const unsigned char* entries, std::int64_t count,
                                        char* characters, const Name& name) const;
  bool TakeOther(std::int64_t number, const unsigned char* entry);
  bool StartRun(std::int64_t number, const unsigned char* entry, std::int64_t record);
  bool EndRun();
  void RunFault(Fault fault);
  std::int64_t FieldOf(std::int64_t number, const unsigned char* entry);

  std::vector<NameKey> fieldNames_;
  // The field is the first of its name: entries name it. Not vector<bool>, whose bits cost
  // more to look up at every run.
  std::vector<char> namedByEntries_;
  std::map<std::string, std::size_t, std::less<>> fieldOfName_;
  Faults faults_;
  // The run last started: the entries of one field and record that follow one another.
  struct Run {
    bool open = false;  // the entry before started it or went on with it
    std::size_t field = 0;
    std::int64_t record = 0;  // 0 before the first run, as no run has record 0
    std::int64_t firstEntry = 0;
    bool ended = false;        // its entry marked 1 was taken
    unsigned faultsNoted = 0;  // the kinds already noted for it, one bit each
  } run_;
  // Over the runs: the highest record yet, below which a run is out of order, and the
  // changes of record from run to run, counted, so that a field's second run in a record is
  // told by the count its first one left.
  std::int64_t highestRunRecord_ = 0;
  std::int64_t recordChanges_ = 0;
  std::vector<std::int64_t> fieldRunAt_;  // per field, recordChanges_ at its latest run
  // Every entry, runs or not: the last must be of the highest record.
  bool anyEntry_ = false;
  std::int64_t highestEntryRecord_ = 0;
  std::int64_t lastEntryRecord_ = 0;
  std::int64_t recordCount_ = std::numeric_limits<std::int64_t>::max();
};

// Entries read so far, of the entries in the file.
using ReadProgress = std::function<void(std::int64_t done, std::int64_t entries)>;

// Reads both files once and notes everything that breaks the order.
Faults CheckDatabase(const Database& database, const std::vector<FieldDef>& fields,
                     const ReadProgress& progress = {});

}  // namespace tomo
