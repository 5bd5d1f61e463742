#include <cstdio>

#include "cli/commands.h"
#include "cli/database_files.h"
#include "cli/progress.h"
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
  if (!faults.Any()) {
    std::fprintf(host.out, "%s: well formed\n", name.c_str());
    return 0;
  }
  std::fprintf(host.out, "%s: not well formed\n", name.c_str());
  for (const FaultText& text : kFaultTexts) {
    const Faults::Kind& kind = faults.Of(text.fault);
    if (kind.count == 0) continue;
    std::string where;
    for (const std::int64_t position : kind.first) {
      where += (where.empty() ? "" : ", ") + std::to_string(position);
    }
    if (kind.count > static_cast<std::int64_t>(kind.first.size())) where += ", ...";
    std::fprintf(host.out, "  %lld %s (%s %s)\n", static_cast<long long>(kind.count), text.what,
                 text.where, where.c_str());
  }
  return 1;
}

}  // namespace tomo::cli
