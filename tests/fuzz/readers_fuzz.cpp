// libFuzzer target for the two file readers: the field table and the record file
// operations, on field and record files made from the input, checked against the
// entry-by-entry reference; and the export's reading (the record stream, the
// whole-database fill and the order check).
//
// Input: 8 header bytes, then the field part (its length in header byte 1), split among
// the fields and laid over the start of each 12042-byte field record, then the record file.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "fakes/memory_files.h"
#include "shell/linked_database.h"
#include "storage/field_table.h"
#include "storage/fill_grid.h"
#include "storage/record_file.h"
#include "storage/record_stream.h"
#include "storage/shown_records.h"
#include "storage/shown_stream.h"
#include "storage/well_formed.h"
#include "support/random_database.h"
#include "support/record_reads.h"
#include "support/reference_reader.h"

namespace {

using tomo::App;
using tomo::testing::MemoryTestApp;

constexpr std::size_t kHeader = 8;
constexpr std::int64_t kReferenceSearchLimit = 2000;
const std::string kFolder = "\\fuzz\\db";

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

std::string FieldFile(const std::uint8_t* bytes, std::size_t size, int fields) {
  std::string file(static_cast<std::size_t>(fields) * tomo::kFieldRecordSize, '\0');
  const std::size_t part = fields > 0 ? size / static_cast<std::size_t>(fields) : 0;
  for (int f = 0; f < fields; ++f) {
    std::memcpy(file.data() + static_cast<std::size_t>(f) * tomo::kFieldRecordSize,
                bytes + static_cast<std::size_t>(f) * part, part);
  }
  return file;
}

// Every record as the export reads it, by the stream when the file keeps the well-formed
// order (but for values appended at its end) and as shown when gone to, against the
// reference's reads.
void CheckExportReading(MemoryTestApp& fast, MemoryTestApp& slow) {
  const tomo::Database database = tomo::DatabaseOf(fast.app);
  const std::vector<tomo::FieldDef> fields = tomo::ReadFieldTable(database);
  tomo::CheckDatabase(database, fields);
  const std::int64_t records = tomo::CountRecords(database);
  using Table = tomo::testing::RecordTable;
  const auto collect = [](Table& table) {
    return [&table](std::int64_t, const tomo::RecordValues& values) {
      table.emplace_back();
      for (const auto& v : values)
        table.back().emplace_back(v ? std::optional<std::string>(*v) : std::nullopt);
    };
  };
  // Huge record numbers cost the stream time in proportion; a run of the
  // fuzzer stays with the files whose every record it can compare quickly.
  constexpr std::int64_t kMostComparedValues = 100000;
  if (records > kMostComparedValues / std::max<std::int64_t>(1, std::ssize(fields))) return;
  Table shown;
  const tomo::ShownRecordsReport report = tomo::ReadShownRecords(database, fields, collect(shown));
  Table streamed;
  const tomo::RecordSink take = collect(streamed);
  const tomo::ShownStream stream = tomo::StreamShownRecords(
      database, fields, tomo::FindAppendedTail(database),
      [&](tomo::RecordBatch& batch) { batch.ForEach(take); }, take);
  if (stream.outcome == tomo::StreamOutcome::kComplete) {
    Check(streamed == shown);
    Check(stream.report == report);
  }
  if (records <= 300) Check(tomo::testing::ReferenceShown(slow.app).values == shown);
}

void SameCells(const App& a, const App& b) {
  for (int r = 0; r < b.Cells.Rows(); ++r) {
    for (int c = 0; c < b.Cells.Columns(); ++c) Check(a.Cells.At(c, r) == b.Cells.At(c, r));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kHeader) return 0;
  const int fields = data[0] % 5;
  const std::size_t fieldPart = std::min<std::size_t>(data[1], size - kHeader);
  const std::int64_t first = static_cast<std::int8_t>(data[2]);
  const std::int32_t firstField = data[3] % 5;
  const int lastColumn = data[4] % 5;
  const int lastRow = data[5] % 5;
  const std::int16_t currentRow = static_cast<std::int16_t>(data[6] % 4);
  const bool smallBlocks = (data[7] & 1) != 0;
  const std::string fieldFile = FieldFile(data + kHeader, fieldPart, fields);
  const std::string recordFile(reinterpret_cast<const char*>(data + kHeader + fieldPart),
                               size - kHeader - fieldPart);

  MemoryTestApp fast, slow;
  for (MemoryTestApp* side : {&fast, &slow}) {
    side->Use(kFolder, fieldFile, recordFile);
    side->app.FirstField = firstField;
    side->app.LastColumn = static_cast<std::int16_t>(lastColumn);
    side->app.LastRow = static_cast<std::int16_t>(lastRow);
    side->app.Cells = tomo::CellGrid(lastColumn, lastRow);
  }
  if (smallBlocks) {
    fast.app.ScanBlockEntries = 1 + (data[7] >> 1) % 4;
    fast.app.ScanPumpMicroseconds = 0;
  }

  tomo::FillGrid(fast.app, first);
  tomo::testing::reference::FillGrid(slow.app, first);
  SameCells(fast.app, slow.app);
  Check(fast.app.ViewStart == slow.app.ViewStart);
  Check(fast.app.ScanStart == slow.app.ScanStart);
  Check(fast.app.ScanRecord == slow.app.ScanRecord);

  const std::int64_t records = tomo::CountRecords(fast.app);
  Check(records == tomo::testing::reference::CountRecords(slow.app));
  for (MemoryTestApp* side : {&fast, &slow}) {
    side->app.CurrentRow = currentRow;
    side->app.TypedText = side->app.Cells.At(1, currentRow);
    if (side->app.TypedText.empty()) side->app.TypedText = std::string(tomo::kNoData);
  }
  if (records <= kReferenceSearchLimit) {
    Check(tomo::FindRecordByValue(fast.app) ==
          tomo::testing::reference::FindRecordByValue(slow.app));
    Check(fast.app.FirstRecord == slow.app.FirstRecord);
    Check(fast.app.ScanStart == slow.app.ScanStart);
    Check(fast.app.ScanRecord == slow.app.ScanRecord);
  } else {
    // Too many records for the reference to read one by one: the fast search only has to
    // finish, and both sides go on from where it left the read positions.
    tomo::FindRecordByValue(fast.app);
    slow.app.ScanStart = fast.app.ScanStart;
    slow.app.ScanRecord = fast.app.ScanRecord;
  }
  for (const tomo::FieldDef& field : fast.app.Fields) {
    Check(tomo::ReadValue(fast.app, field.Name, first) ==
          tomo::testing::reference::ReadValue(slow.app, field.Name, first));
    Check(fast.app.ScanStart == slow.app.ScanStart);
    Check(tomo::FindValueStart(fast.app, field.Name, first) ==
          tomo::testing::reference::FindValueStart(slow.app, field.Name, first));
  }
  CheckExportReading(fast, slow);
  return 0;
}
