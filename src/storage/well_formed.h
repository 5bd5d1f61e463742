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
#include <map>
#include <string>
#include <string_view>
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
  const Kind& Of(Fault fault) const { return kinds_[static_cast<std::size_t>(fault)]; }
  bool Any() const;

 private:
  std::array<Kind, kFaultKinds> kinds_{};
};

// Follows the entries of the record file one by one and notes what breaks the order.
class EntryOrder {
 public:
  // Notes the field table's duplicate names.
  explicit EntryOrder(const std::vector<FieldDef>& fields);

  // Takes the next entry, number `number`; false when it breaks the order. A run that is not
  // ended by its mark 1 is found at the entry after it, or by Finish.
  bool Take(std::int64_t number, const unsigned char* entry) {
    // Most entries go on with the run of the entry before: same name, same record.
    const std::int64_t record = EntryRecord(entry);
    if (inRun_ && record == runRecord_ && keys_[field_].Matches(entry)) {
      lastRecord_ = record;
      return GoOn(EntryMark(entry));
    }
    return TakeOther(number, entry, record);
  }
  // Takes as many of the `count` entries from `entries` on as go on with the run at hand in
  // the well-formed way, as Take would: same name, same record, marked 0, the last taken
  // perhaps marked 1. Returns how many it took. Most entries lie inside a run, and this
  // looks at them with nothing else to do. Puts the character of each entry looked at, from
  // `entries` on, at characters[0], [1], ... (room for `count`).
  std::int64_t TakeRunGoingOn(const unsigned char* entries, std::int64_t count, char* characters);
  // After the last whole entry, `entries`, with `trailingBytes` of a partial one after it.
  // False when something broke the order then.
  bool Finish(std::int64_t entries, std::int64_t trailingBytes);
  // The field (from 0) of the last entry taken, when Take accepted it.
  std::size_t Field() const { return field_; }
  const Faults& Found() const { return faults_; }

 private:
  // The next entry of the run at hand: it must not follow the run's mark 1.
  bool GoOn(std::int32_t mark) {
    if (!runEnded_ && (mark == 0 || mark == 1)) {
      runEnded_ = mark == 1;
      return true;
    }
    return GoOnBadly(mark);
  }
  bool GoOnBadly(std::int32_t mark);
  bool TakeOther(std::int64_t number, const unsigned char* entry, std::int64_t record);
  bool StartRun(std::int64_t number, const unsigned char* entry, std::int64_t record);
  bool EndRun();
  bool Mark(std::int32_t mark);
  void RunFault(Fault fault);
  std::int64_t FieldOf(std::int64_t number, const unsigned char* entry);

  std::vector<NameKey> keys_;
  // The field is the first of its name: entries name it. Not vector<bool>, whose bits cost
  // more to look up at every run.
  std::vector<char> firstOfName_;
  std::map<std::string, std::size_t, std::less<>> fields_;
  Faults faults_;
  // The run of the entry before: its field (field_), record and state.
  bool inRun_ = false;
  std::int64_t runRecord_ = 0;
  std::int64_t runStart_ = 0;
  bool runEnded_ = false;
  unsigned runFaults_ = 0;  // the kinds already noted for the run, one bit each
  std::size_t field_ = 0;
  // The record of the runs: its fields seen (marked by its generation), the highest record.
  bool anyRun_ = false;
  std::int64_t highestRun_ = 0;
  std::int64_t generation_ = 0;
  std::vector<std::int64_t> seen_;
  std::int64_t highest_ = 0;
  std::int64_t lastRecord_ = 0;
  bool any_ = false;
};

// Entries read so far, of the entries in the file.
using ReadProgress = std::function<void(std::int64_t done, std::int64_t entries)>;

// Reads both files once and notes everything that breaks the order.
Faults CheckDatabase(const Database& database, const std::vector<FieldDef>& fields,
                     const ReadProgress& progress = {});

}  // namespace tomo
