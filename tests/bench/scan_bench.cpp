// Times the record file operations on a large database and shows the memory they need.
//   tomo_scan_bench [MEGABYTES] [FOLDER]
// makes a database of about MEGABYTES (default 540) in FOLDER (default: a temporary
// folder, removed afterwards) and runs a grid fill, searches and a count on it.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#include "database_format.h"
#include "fakes/fake_platform.h"
#include "storage/field_table.h"
#include "storage/fill_grid.h"
#include "storage/record_file.h"
#include "support/database_writer.h"

namespace {

using namespace tomo;
using namespace tomo::testing;

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// 40 fields; every 9th record has no Nota. Written record by record.
std::int64_t WriteLargeDatabase(const std::filesystem::path& folder, std::int64_t megabytes) {
  std::vector<format::FieldSpec> fields;
  for (int f = 1; f <= 40; ++f)
    fields.emplace_back(f == 40 ? "Nota" : "Campo " + std::to_string(f));
  std::filesystem::create_directories(folder / "grande");
  std::ofstream(folder / "grande" / "grande.z04", std::ios::binary)
      << format::FieldFileBytes(fields);
  std::ofstream out(folder / "grande" / "grande.zbd", std::ios::binary);
  const std::int64_t limit = megabytes * 1024 * 1024;
  std::int64_t written = 0;
  std::int64_t record = 0;
  while (written < limit) {
    ++record;
    std::vector<format::Entry> entries;
    for (const auto& field : fields) {
      if (field.name == "Nota" && record % 9 == 0) continue;
      const auto value =
          format::ValueEntries(field.name, record, field.name + " " + std::to_string(record));
      entries.insert(entries.end(), value.begin(), value.end());
    }
    const std::string bytes = format::RecordFileBytes(entries);
    out << bytes;
    written += static_cast<std::int64_t>(bytes.size());
  }
  return record;
}

void Measure(const char* what, TestApp& t, const std::function<void()>& operation) {
  const std::int64_t bytes = t.fake->files.bytesRead;
  const auto start = std::chrono::steady_clock::now();
  operation();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%-40s %8.3f s %10.1f MiB read  peak %6.1f MiB  %zu pumps\n", what, seconds,
              static_cast<double>(t.fake->files.bytesRead - bytes) / (1024 * 1024),
              static_cast<double>(PeakKilobytes()) / 1024, t.ui().pumpTimes.size());
}

}  // namespace

int main(int argc, char** argv) {
  const std::int64_t megabytes = argc > 1 ? std::stoll(argv[1]) : 540;
  std::unique_ptr<TempFolder> temp;
  std::filesystem::path folder;
  if (argc > 2) {
    folder = argv[2];
  } else {
    temp = std::make_unique<TempFolder>();
    folder = temp->path();
  }
  const std::int64_t records = WriteLargeDatabase(folder, megabytes);
  std::printf("%lld records, peak before reading %.1f MiB\n", static_cast<long long>(records),
              static_cast<double>(PeakKilobytes()) / 1024);

  TestApp t(ScreenSize{1920, 1080});
  t.app.DatabaseFolder = BackslashPath(folder / "grande");
  const auto fill = [&](std::int64_t first, std::int32_t field) {
    t.app.FirstField = field;
    t.app.Cells = CellGrid(t.app.LastColumn, t.app.LastRow);
    FillGrid(t.app, first);
  };
  Measure("fill from record 1, fields 1..33", t, [&] { fill(1, 1); });
  Measure("fill from record 1, fields 9..40", t, [&] { fill(1, 9); });
  Measure("fill from the middle, fields 8..40", t, [&] { fill(records / 2, 8); });
  Measure("count records", t, [&] { CountRecords(t.app); });
  LoadFieldTable(t.app);
  t.app.FirstField = 1;
  t.app.CurrentRow = 1;
  t.app.TypedText = "nowhere";
  Measure("search that finds nothing", t, [&] { FindRecordByValue(t.app); });
  t.app.TypedText = "Campo 1 " + std::to_string(records - 5);
  Measure("search that finds a late record", t, [&] { FindRecordByValue(t.app); });
  t.app.CurrentRow = 40;
  t.app.TypedText = "No datos";
  Measure("search for an absent value", t, [&] { FindRecordByValue(t.app); });
  return 0;
}
