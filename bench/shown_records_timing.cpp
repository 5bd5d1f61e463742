// Measures, by hand, what reading every record as shown costs next to a plain read of the
// record file. Run each step in a process of its own, so that /usr/bin/time -v gives each
// its own peak memory:
//   shown_records_timing write PARENT ENTRIES  a benchmark database PARENT/big of about
//                                              ENTRIES entries, record 5's field 2 appended
//   shown_records_timing plain|shown|stream PARENT/big
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "benchmark_database.h"
#include "platform/posix/posix_files.h"
#include "storage/field_table.h"
#include "storage/record_stream.h"
#include "storage/shown_records.h"

namespace {

namespace fs = std::filesystem;

class QuietPump : public tomo::ScanPump {
 public:
  void PumpMessages() override {}
  std::int64_t NowMicroseconds() override {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
  }
};

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

int Write(const fs::path& parent, std::int64_t entries) {
  const auto written = tomo::format::WriteBenchmarkDatabase(parent, "big", entries);
  const std::string field = tomo::format::BenchmarkFields()[1].name;
  std::ofstream(written.folder / "big.zbd", std::ios::binary | std::ios::app)
      << tomo::format::RecordFileBytes(tomo::format::ValueEntries(field, 5, "Appended"));
  std::printf("%lld entries, %lld records\n", static_cast<long long>(written.entries),
              static_cast<long long>(written.records));
  return 0;
}

int Plain(const fs::path& folder) {
  const auto start = std::chrono::steady_clock::now();
  std::ifstream file(folder / "big.zbd", std::ios::binary);
  std::vector<char> block(std::size_t{4} << 20);
  std::int64_t bytes = 0;
  while (file.read(block.data(), static_cast<std::streamsize>(block.size())) || file.gcount()) {
    bytes += file.gcount();
  }
  std::printf("plain read: %lld bytes in %.3f s\n", static_cast<long long>(bytes), Seconds(start));
  return 0;
}

int Read(const fs::path& folder, bool shown) {
  tomo::PosixFiles files;
  QuietPump pump;
  tomo::ReadState state;
  const tomo::Database database{files, pump, (folder / "big.z04").string(),
                                (folder / "big.zbd").string(), state};
  const std::vector<tomo::FieldDef> fields = tomo::ReadFieldTable(database);
  std::int64_t records = 0, characters = 0;
  const tomo::RecordSink sink = [&](std::int64_t, const tomo::RecordValues& values) {
    ++records;
    for (const auto& value : values)
      characters += value ? static_cast<std::int64_t>(value->size()) : 0;
  };
  const auto start = std::chrono::steady_clock::now();
  if (shown) {
    const tomo::ShownRecordsReport report = tomo::ReadShownRecords(database, fields, sink);
    std::printf("shown: %lld records (count %lld, %lld beyond it, highest %lld), ",
                static_cast<long long>(report.handedOut),
                static_cast<long long>(report.recordCount),
                static_cast<long long>(report.beyondCount), static_cast<long long>(report.highest));
  } else {
    const bool complete =
        tomo::StreamRecords(database, fields, sink) == tomo::StreamOutcome::kComplete;
    std::printf("stream: %s, ", complete ? "complete" : "not complete");
  }
  std::printf("%lld records, %lld characters in %.3f s\n", static_cast<long long>(records),
              static_cast<long long>(characters), Seconds(start));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 3 && args[0] == "write") return Write(args[1], std::stoll(args[2]));
  if (args.size() == 2 && args[0] == "plain") return Plain(args[1]);
  if (args.size() == 2 && (args[0] == "shown" || args[0] == "stream")) {
    return Read(args[1], args[0] == "shown");
  }
  std::fprintf(stderr,
               "usage: shown_records_timing write PARENT ENTRIES | plain|shown|stream FOLDER\n");
  return 2;
}
