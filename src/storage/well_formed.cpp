#include "storage/well_formed.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "storage/char_entry.h"
#include "storage/entry_blocks.h"
#include "storage/field_table.h"

namespace tomo {

namespace {

constexpr std::int64_t kNotAField = -1;

}  // namespace

void Faults::Add(Fault fault, std::int64_t position) {
  Kind& kind = kinds_[static_cast<std::size_t>(fault)];
  ++kind.count;
  if (kind.first.size() < kFirstKept) kind.first.push_back(position);
}

bool Faults::Any() const {
  return std::any_of(kinds_.begin(), kinds_.end(), [](const Kind& k) { return k.count > 0; });
}

EntryOrder::EntryOrder(const std::vector<FieldDef>& fields) : seen_(fields.size(), 0) {
  for (std::size_t f = 0; f < fields.size(); ++f) {
    keys_.emplace_back(fields[f].Name);
    const bool firstOfName = fields_.emplace(fields[f].Name, f).second;
    firstOfName_.push_back(firstOfName);
    if (!firstOfName) faults_.Add(Fault::kDuplicateFieldName, static_cast<std::int64_t>(f) + 1);
  }
}

bool EntryOrder::GoOnBadly(std::int32_t mark) {
  const bool ok = !runEnded_;
  if (!ok) RunFault(Fault::kBadMarks);
  return Mark(mark) && ok;
}

namespace {

// The entries from `entries` on that go on with a run of record `record` whose name
// `sameName` matches, as TakeRunGoingOn takes them: how many, and whether the last one ends
// the run.
template <typename SameName>
std::pair<std::int64_t, bool> GoingOn(const unsigned char* entries, std::int64_t count,
                                      char* characters, std::int64_t record, SameName sameName) {
  const unsigned char* entry = entries;
  for (std::int64_t k = 0; k < count; ++k, entry += kEntrySize) {
    characters[k] = EntryCharacter(entry);
    const auto mark = static_cast<std::uint32_t>(EntryMark(entry));
    if (EntryRecord(entry) != record || !sameName.Matches(entry) || mark > 1) return {k, false};
    if (mark == 1) return {k + 1, true};
  }
  return {count, false};
}

}  // namespace

std::int64_t EntryOrder::TakeRunGoingOn(const unsigned char* entries, std::int64_t count,
                                        char* characters) {
  if (!inRun_ || runEnded_) return 0;
  const NameKey& key = keys_[field_];
  // Most names are short enough for one or two words: their loop compares words and masks
  // that stay in registers.
  const auto goingOn = [&](const auto& sameName) {
    return GoingOn(entries, count, characters, runRecord_, sameName);
  };
  std::pair<std::int64_t, bool> taken;
  if (const auto one = key.InWords<1>()) {
    taken = goingOn(*one);
  } else if (const auto two = key.InWords<2>()) {
    taken = goingOn(*two);
  } else {
    taken = goingOn(key);
  }
  runEnded_ = taken.second;
  return taken.first;
}

// An entry that does not go on with the run of the entry before.
bool EntryOrder::TakeOther(std::int64_t number, const unsigned char* entry, std::int64_t record) {
  const bool first = !any_;
  any_ = true;
  lastRecord_ = record;
  if (first || record > highest_) highest_ = record;
  const bool ended = EndRun();
  return StartRun(number, entry, record) && ended;
}

bool EntryOrder::StartRun(std::int64_t number, const unsigned char* entry, std::int64_t record) {
  inRun_ = false;
  const std::int64_t field = FieldOf(number, entry);
  if (record < 1) faults_.Add(Fault::kRecordBelowOne, number);
  if (field == kNotAField || record < 1) return false;
  inRun_ = true;
  runStart_ = number;
  runEnded_ = false;
  runFaults_ = 0;
  bool ok = true;
  const auto f = static_cast<std::size_t>(field);
  if (anyRun_ && record < highestRun_) {
    RunFault(Fault::kRecordOutOfOrder);
    ok = false;
  }
  if (!anyRun_ || record != runRecord_) {
    ++generation_;
  } else if (seen_[f] == generation_) {
    RunFault(Fault::kInterruptedRun);
    ok = false;
  } else if (f < field_) {
    RunFault(Fault::kFieldOutOfOrder);
    ok = false;
  }
  if (!anyRun_ || record > highestRun_) highestRun_ = record;
  anyRun_ = true;
  runRecord_ = record;
  seen_[f] = generation_;
  field_ = f;
  return Mark(EntryMark(entry)) && ok;
}

// The field the entry's name names; kNotAField (a fault noted) when there is none.
std::int64_t EntryOrder::FieldOf(std::int64_t number, const unsigned char* entry) {
  // Values mostly follow in field order: the next field or the one after it, or the first
  // field of the next record.
  const std::size_t count = keys_.size();
  const auto names = [&](std::size_t f) {
    return f < count && firstOfName_[f] && keys_[f].Matches(entry);
  };
  if (names(field_ + 1)) return static_cast<std::int64_t>(field_ + 1);
  if (names(field_ + 2)) return static_cast<std::int64_t>(field_ + 2);
  if (names(0)) return 0;
  const CharEntry decoded = DecodeEntry(entry);
  if (!decoded.named) {
    faults_.Add(Fault::kUnterminatedName, number);
    return kNotAField;
  }
  const auto found = fields_.find(decoded.name);
  if (found == fields_.end()) {
    faults_.Add(Fault::kUnknownName, number);
    return kNotAField;
  }
  return static_cast<std::int64_t>(found->second);
}

bool EntryOrder::EndRun() {
  if (!inRun_ || runEnded_) return true;
  RunFault(Fault::kBadMarks);
  return false;
}

bool EntryOrder::Mark(std::int32_t mark) {
  if (mark == 1) runEnded_ = true;
  if (mark == 0 || mark == 1) return true;
  RunFault(Fault::kBadMarks);
  return false;
}

// A fault of the run at hand, noted once per run and kind at the run's first entry.
void EntryOrder::RunFault(Fault fault) {
  const unsigned bit = 1u << static_cast<unsigned>(fault);
  if ((runFaults_ & bit) != 0) return;
  runFaults_ |= bit;
  faults_.Add(fault, runStart_);
}

bool EntryOrder::Finish(std::int64_t entries, std::int64_t trailingBytes) {
  bool ok = EndRun();
  inRun_ = false;
  if (trailingBytes > 0) faults_.Add(Fault::kPartialEntry, entries + 1);
  if (any_ && lastRecord_ != highest_) {
    faults_.Add(Fault::kLastEntryNotHighest, entries);
    ok = false;
  }
  return ok;
}

Faults CheckDatabase(const Database& database, const std::vector<FieldDef>& fields,
                     const ReadProgress& progress) {
  EntryOrder order(fields);
  EntryBlocks blocks(database, 1);
  // The characters of the runs, which the check does not look at.
  const auto characters =
      std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(blocks.BlockEntries()));
  std::int64_t read = 0;
  while (blocks.Next()) {
    for (std::int64_t k = 0; k < blocks.Count(); ++k) {
      k += order.TakeRunGoingOn(blocks.Bytes(k), blocks.Count() - k, characters.get());
      if (k < blocks.Count()) order.Take(blocks.First() + k, blocks.Bytes(k));
    }
    read += blocks.Count();
    if (progress) progress(read, blocks.Entries());
  }
  const std::int64_t recordBytes = database.files.OpenForReading(database.recordFilePath)->Length();
  order.Finish(read, std::max<std::int64_t>(recordBytes, 0) % kEntrySize);
  Faults faults = order.Found();
  const std::int64_t fieldBytes = database.files.OpenForReading(database.fieldFilePath)->Length();
  if (fieldBytes % kFieldRecordSize != 0) {
    faults.Add(Fault::kPartialFieldRecord, fieldBytes / kFieldRecordSize + 1);
  }
  for (std::size_t f = 0; f < fields.size(); ++f) {
    if (fields[f].Type < 0 || fields[f].Type > 9) {
      faults.Add(Fault::kTypeOutOfRange, static_cast<std::int64_t>(f) + 1);
    }
  }
  return faults;
}

}  // namespace tomo
