// Files looked at in place, and cut short by another program meanwhile: zeros and a word of
// it, never a crash; and a stream over such a file is never taken as complete.
#include "platform/posix/mapped_view.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/posix/posix_files.h"
#include "shell/linked_database.h"
#include "storage/field_table.h"
#include "storage/record_stream.h"
#include "support/linked_app.h"

namespace tomo::testing {
namespace {

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(MappedView, AFileCutShortUnderAViewReadsAsZerosAndTellsIt) {
  const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  const std::size_t length = 3 * page + page / 2;
  const std::int64_t from = 100;  // not on a page's start
  struct Cut {
    const char* name;
    std::optional<std::size_t> at;  // none: the file stays whole
  };
  const Cut cuts[] = {{"whole", std::nullopt},
                      {"inside the last page", 3 * page + 10},
                      {"on a page's start", 2 * page},
                      {"inside the view's first page", 300},
                      {"to nothing", 0}};
  TempFolder folder;
  const auto path = folder.path() / "cut.bin";
  std::string bytes(length, '\0');
  for (std::size_t k = 0; k < length; ++k) bytes[k] = static_cast<char>('a' + k % 26);
  for (const Cut& cut : cuts) {
    SCOPED_TRACE(cut.name);
    WriteBytes(path, bytes);
    PosixFiles files;
    const auto file = files.OpenForReading(path.string());
    const auto view = file->View(from, length - static_cast<std::size_t>(from));
    ASSERT_NE(view, nullptr);
    // Every page looked at once before the cut, and once after it.
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(view->Bytes()), length - from),
              bytes.substr(from));
    if (cut.at) std::filesystem::resize_file(path, *cut.at);
    const std::size_t kept = std::max<std::size_t>(cut.at.value_or(length), from) - from;
    const std::string seen(reinterpret_cast<const char*>(view->Bytes()), length - from);
    EXPECT_EQ(seen.substr(0, kept), bytes.substr(from, kept));
    EXPECT_EQ(seen.substr(kept), std::string(length - from - kept, '\0'));
    EXPECT_EQ(view->Whole(), !cut.at);
    // No view beyond the file's end: it is read instead, and found short.
    if (cut.at) {
      EXPECT_EQ(file->View(from, length - static_cast<std::size_t>(from)), nullptr);
    }
  }
}

// Only bus errors inside a view are taken in hand: any other still ends the program.
TEST(MappedViewDeathTest, ABusErrorElsewhereStillEndsTheProgram) {
  TempFolder folder;
  const auto path = folder.path() / "other.bin";
  WriteBytes(path, std::string(8192, 'x'));
  PosixFiles files;
  const auto file = files.OpenForReading(path.string());
  ASSERT_NE(file->View(0, 10), nullptr);  // the handler is in place
  EXPECT_DEATH(
      {
        const int fd = open(path.c_str(), O_RDONLY);
        const auto* bytes =
            static_cast<const volatile char*>(mmap(nullptr, 8192, PROT_READ, MAP_PRIVATE, fd, 0));
        std::filesystem::resize_file(path, 0);
        (void)bytes[5000];
      },
      "");
}

// The stream looks at its blocks in place. The file cut short after a block was looked at, or
// while one is, is never taken as streamed whole nor as out of order.
TEST(MappedView, AStreamOverAFileCutShortMeanwhileEndsCutShort) {
  enum class Cut { kNever, kAfterTheFirstBlock, kAfterTheLastBlock, kAtTheFirstBatch };
  struct Case {
    Cut cut;
    std::int64_t blockEntries;
  };
  // 36,000 values: the first batch is handed on well before the end.
  const DatabaseSpec described = NumberedDatabase(6000, 6);
  for (const Case& test :
       {Case{Cut::kNever, 5000}, Case{Cut::kAfterTheFirstBlock, 5000},
        Case{Cut::kAfterTheLastBlock, 5000}, Case{Cut::kAtTheFirstBatch, std::int64_t{1} << 30}}) {
    SCOPED_TRACE("cut " + std::to_string(static_cast<int>(test.cut)));
    LinkedApp linked(described);
    linked.app().ScanBlockEntries = test.blockEntries;
    const Database database = DatabaseOf(linked.app());
    std::string recordFile = database.recordFilePath;
    std::replace(recordFile.begin(), recordFile.end(), '\\', '/');
    const auto cutTo = [&](std::int64_t entries) {
      // Halfway into an entry.
      std::filesystem::resize_file(recordFile, static_cast<std::uintmax_t>(entries * 54 - 27));
    };
    int blocks = 0;
    int batches = 0;
    const StreamOutcome outcome = StreamBatches(
        database, ReadFieldTable(database),
        [&](RecordBatch&) {
          if (test.cut == Cut::kAtTheFirstBatch && ++batches == 1) cutTo(1000);
        },
        [&](std::int64_t read, std::int64_t entries) {
          ++blocks;
          if ((test.cut == Cut::kAfterTheFirstBlock && blocks == 1) ||
              (test.cut == Cut::kAfterTheLastBlock && read == entries)) {
            cutTo(read);
          }
        });
    if (test.cut == Cut::kNever) {
      EXPECT_GT(blocks, 2);
    }
    EXPECT_EQ(outcome,
              test.cut == Cut::kNever ? StreamOutcome::kComplete : StreamOutcome::kCutShort);
  }
}

}  // namespace
}  // namespace tomo::testing
