#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/database_files.h"
#include "cli/progress.h"
#include "storage/record_file.h"
#include "storage/well_formed.h"

namespace tomo::cli {

namespace {

struct FaultText {
  Fault fault;
  const char* what;
  const char* where;  // what the positions number
};

constexpr FaultText kFaultTexts[] = {
    {Fault::kPartialFieldRecord, "partial field record at the end of the field file",
     "field record"},
    {Fault::kPartialEntry, "partial entry at the end of the record file", "entry"},
    {Fault::kDuplicateFieldName, "field names duplicated", "fields"},
    {Fault::kTypeOutOfRange, "type codes outside 0..9", "fields"},
    {Fault::kUnterminatedName, "entries whose name has no zero byte", "entries"},
    {Fault::kUnknownName, "entries whose name matches no field", "entries"},
    {Fault::kRecordBelowOne, "entries with a record number below 1", "entries"},
    {Fault::kRecordOutOfOrder, "runs of records out of ascending order", "entries"},
    {Fault::kInterruptedRun, "runs interrupted by other entries", "entries"},
    {Fault::kFieldOutOfOrder, "runs out of field order within their record", "entries"},
    {Fault::kBadMarks,
     "runs with no mark 1 at their end, an early mark 1, or marks other than 0 and 1", "entries"},
    {Fault::kLastEntryNotHighest, "last entry not of the highest record", "entry"},
};
static_assert(std::size(kFaultTexts) == kFaultKinds);

// "(entries 1, 2, ...)": where the first few are.
std::string Where(const char* what, const Faults::Kind& kind) {
  std::string where;
  for (const std::int64_t position : kind.first) {
    where += (where.empty() ? "" : ", ") + std::to_string(position);
  }
  if (kind.count > static_cast<std::int64_t>(kind.first.size())) where += ", ...";
  return std::string("(") + what + " " + where + ")";
}

// What changes the records an export writes, faults or not.
void PrintNotes(std::FILE* out, const Faults& faults, std::int64_t recordCount) {
  const auto n = [](std::int64_t number) { return static_cast<long long>(number); };
  const Faults::Kind& above = faults.Of(Note::kAboveRecordCount);
  if (above.count > 0) {
    std::fprintf(out,
                 "  note: %lld records above RecordCount %lld have entries, up to record %lld: "
                 "the viewer does not count them, export writes them after it %s\n",
                 n(above.count), n(recordCount), n(faults.highestRecord),
                 Where("entries", above).c_str());
  }
  const Faults::Kind& jumps = faults.Of(Note::kRecordJump);
  if (jumps.count > 0) {
    std::fprintf(out,
                 "  note: %lld jumps of more than %lld record numbers above every record before "
                 "%s\n",
                 n(jumps.count), n(kRecordJump), Where("entries", jumps).c_str());
  }
}

}  // namespace

int RunCheck(Host& host, const Arguments& args) {
  DatabaseFiles db(host, args.database);
  Faults faults;
  {
    Progress progress(host.err, host.errIsTerminal);
    faults = CheckDatabase(db.Reading(), db.Fields(), [&](std::int64_t done, std::int64_t entries) {
      progress.Entries(done, entries);
    });
  }
  const std::string name = Utf8Of(db.Folder());
  const std::int64_t recordCount = MeasureRecordFile(db.Reading()).lastRecord;
  if (!faults.Any()) {
    std::fprintf(host.out, "%s: well formed\n", name.c_str());
    PrintNotes(host.out, faults, recordCount);
    return 0;
  }
  std::fprintf(host.out, "%s: not well formed\n", name.c_str());
  for (const FaultText& text : kFaultTexts) {
    const Faults::Kind& kind = faults.Of(text.fault);
    if (kind.count == 0) continue;
    std::fprintf(host.out, "  %lld %s %s\n", static_cast<long long>(kind.count), text.what,
                 Where(text.where, kind).c_str());
  }
  PrintNotes(host.out, faults, recordCount);
  return 1;
}

}  // namespace tomo::cli
