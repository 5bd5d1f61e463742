// Every record of a database with the values a grid fill showing every field (from field 1)
// and every record (from record 1), started from a fresh read state, would show: the
// export's cells, by definition.
//
// Two ways to get them. FillRecords runs that fill: exact on every file, but its memory
// grows with the number of records times fields. StreamRecords reads the file once and
// hands out each record as it completes, in memory independent of the number of records,
// for files in the well-formed order (well_formed.h); it stops at the first entry that
// breaks the order, and the caller then discards what it got and uses FillRecords.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "storage/database.h"
#include "storage/field_def.h"
#include "storage/well_formed.h"

namespace tomo {

// A record's values by field, as stored; none for an absent value.
using RecordValues = std::vector<std::optional<std::string_view>>;
// Takes records 1, 2, ... up to the record count, in order.
using RecordSink = std::function<void(std::int64_t record, const RecordValues& values)>;
enum class StreamOutcome {
  kComplete,       // every record handed out
  kNotWellFormed,  // stopped at the first entry that breaks the well-formed order
  kCutShort,       // the record file could not be read to its end
};
StreamOutcome StreamRecords(const Database& database, const std::vector<FieldDef>& fields,
                            const RecordSink& sink, const ReadProgress& progress = {});

// The most values FillRecords holds: about 130 bytes each while the fill runs.
inline constexpr std::int64_t kMostFilledValues = std::int64_t{1} << 22;
// The records of `recordCount` (the record file's count) by one fill of the whole database;
// false, with nothing handed out, when fields x records exceeds kMostFilledValues.
bool FillRecords(const Database& database, const std::vector<FieldDef>& fields,
                 std::int64_t recordCount, const RecordSink& sink);

}  // namespace tomo
