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

namespace {

void Count(Faults::Kind& kind, std::int64_t position) {
  ++kind.count;
  if (kind.first.size() < Faults::kFirstKept) kind.first.push_back(position);
}

}  // namespace

void Faults::Add(Fault fault, std::int64_t position) {
  Count(kinds_[static_cast<std::size_t>(fault)], position);
}

void Faults::Add(Note note, std::int64_t position) {
  Count(notes_[static_cast<std::size_t>(note)], position);
}

bool Faults::Any() const {
  return std::any_of(kinds_.begin(), kinds_.end(), [](const Kind& k) { return k.count > 0; });
}

EntryOrder::EntryOrder(const std::vector<FieldDef>& fields) : fieldRunAt_(fields.size(), 0) {
  for (std::size_t f = 0; f < fields.size(); ++f) {
    fieldNames_.emplace_back(fields[f].Name);
    const bool firstOfName = fieldOfName_.emplace(fields[f].Name, f).second;
    namedByEntries_.push_back(firstOfName);
    if (!firstOfName) faults_.Add(Fault::kDuplicateFieldName, static_cast<std::int64_t>(f) + 1);
  }
}

bool EntryOrder::GoOnBadly() {
  RunFault(Fault::kBadMarks);
  return false;
}

// GoOn without its faults: it stops where GoOn would note one, and after the run's end.
template <typename Name>
std::pair<std::int64_t, bool> EntryOrder::GoingOn(const unsigned char* entries, std::int64_t count,
                                                  char* characters, const Name& name) const {
  const unsigned char* entry = entries;
  for (std::int64_t k = 0; k < count; ++k, entry += kEntrySize) {
    characters[k] = EntryCharacter(entry);
    if (!OfRun(entry, run_.record, name)) return {k, false};
    const MarkSays says = Says(EntryMark(entry));
    if (says == MarkSays::kBreaks) return {k, false};
    if (says == MarkSays::kEnds) return {k + 1, true};
  }
  return {count, false};
}

std::int64_t EntryOrder::TakeRunGoingOn(const unsigned char* entries, std::int64_t count,
                                        char* characters) {
  if (!run_.open || run_.ended) return 0;
  const NameKey& name = fieldNames_[run_.field];
  // Most names are short enough for one or two words: their loop compares words and masks
  // that stay in registers.
  std::pair<std::int64_t, bool> taken;
  if (const auto one = name.InWords<1>()) {
    taken = GoingOn(entries, count, characters, *one);
  } else if (const auto two = name.InWords<2>()) {
    taken = GoingOn(entries, count, characters, *two);
  } else {
    taken = GoingOn(entries, count, characters, name);
  }
  run_.ended = taken.second;
  return taken.first;
}

// An entry that does not go on with the run of the entry before. Every run starts here: what
// it calls is inlined, one call per run instead of four.
[[gnu::flatten]] bool EntryOrder::TakeOther(std::int64_t number, const unsigned char* entry) {
  const std::int64_t record = EntryRecord(entry);
  if (record > recordCount_ && (!anyEntry_ || record != lastEntryRecord_))
    faults_.Add(Note::kAboveRecordCount, number);
  // Records below 1 are left out, so a jump is from record 0 at least.
  if (record - std::max<std::int64_t>(anyEntry_ ? highestEntryRecord_ : 0, 0) > kRecordJump)
    faults_.Add(Note::kRecordJump, number);
  if (!anyEntry_ || record > highestEntryRecord_) highestEntryRecord_ = record;
  anyEntry_ = true;
  lastEntryRecord_ = record;
  const bool ended = EndRun();
  return StartRun(number, entry, record) && ended;
}

bool EntryOrder::StartRun(std::int64_t number, const unsigned char* entry, std::int64_t record) {
  run_.open = false;
  const std::int64_t field = FieldOf(number, entry);
  if (record < 1) faults_.Add(Fault::kRecordBelowOne, number);
  if (field == kNotAField || record < 1) return false;
  const auto f = static_cast<std::size_t>(field);
  const Run before = run_;
  run_ = Run{.open = true, .field = f, .record = record, .firstEntry = number};
  bool ok = true;
  if (record < highestRunRecord_) {
    RunFault(Fault::kRecordOutOfOrder);
    ok = false;
  }
  if (record != before.record) {
    ++recordChanges_;
  } else if (fieldRunAt_[f] == recordChanges_) {
    RunFault(Fault::kInterruptedRun);
    ok = false;
  } else if (f < before.field) {
    RunFault(Fault::kFieldOutOfOrder);
    ok = false;
  }
  highestRunRecord_ = std::max(highestRunRecord_, record);
  fieldRunAt_[f] = recordChanges_;
  return GoOn(EntryMark(entry)) && ok;
}

// The field the entry's name names; kNotAField (a fault noted) when there is none.
std::int64_t EntryOrder::FieldOf(std::int64_t number, const unsigned char* entry) {
  // Values mostly follow in field order: the next field or the one after it, or the first
  // field of the next record.
  const std::size_t count = fieldNames_.size();
  const auto names = [&](std::size_t f) {
    return f < count && namedByEntries_[f] && fieldNames_[f].Matches(entry);
  };
  if (names(run_.field + 1)) return static_cast<std::int64_t>(run_.field + 1);
  if (names(run_.field + 2)) return static_cast<std::int64_t>(run_.field + 2);
  if (names(0)) return 0;
  const CharEntry decoded = DecodeEntry(entry);
  if (!decoded.named) {
    faults_.Add(Fault::kUnterminatedName, number);
    return kNotAField;
  }
  const auto found = fieldOfName_.find(decoded.name);
  if (found == fieldOfName_.end()) {
    faults_.Add(Fault::kUnknownName, number);
    return kNotAField;
  }
  return static_cast<std::int64_t>(found->second);
}

bool EntryOrder::EndRun() {
  if (!run_.open || run_.ended) return true;
  RunFault(Fault::kBadMarks);
  return false;
}

// A fault of the run at hand, noted once per run and kind at the run's first entry.
void EntryOrder::RunFault(Fault fault) {
  const unsigned bit = 1u << static_cast<unsigned>(fault);
  if ((run_.faultsNoted & bit) != 0) return;
  run_.faultsNoted |= bit;
  faults_.Add(fault, run_.firstEntry);
}

bool EntryOrder::Finish(std::int64_t entries, std::int64_t trailingBytes) {
  bool ok = EndRun();
  run_.open = false;
  if (trailingBytes > 0) faults_.Add(Fault::kPartialEntry, entries + 1);
  if (anyEntry_ && lastEntryRecord_ != highestEntryRecord_) {
    faults_.Add(Fault::kLastEntryNotHighest, entries);
    ok = false;
  }
  return ok;
}

Faults CheckDatabase(const Database& database, const std::vector<FieldDef>& fields,
                     const ReadProgress& progress) {
  EntryOrder order(fields);
  EntryBlocks blocks(database, 1);
  order.NoteRecordsAbove(blocks.LastRecord());
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
  faults.highestRecord = order.HighestRecord();
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
