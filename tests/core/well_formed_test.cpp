// The check's fast way through runs against taking the entries one by one, and both, with the
// record stream's verdict, against a plain statement of the order, on random entries whose
// marks and order break anywhere.
#include "storage/well_formed.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>

#include "fakes/memory_files.h"
#include "shell/linked_database.h"
#include "storage/field_table.h"
#include "storage/record_stream.h"
#include "support/database_writer.h"

namespace tomo::testing {
namespace {

// Names of one, two and three words, which the fast way compares each its own way.
const std::vector<FieldSpec> kFields = {FieldSpec{"A"}, FieldSpec{"Telefono movil"},
                                        FieldSpec{"Direccion de la casa"}, FieldSpec{"B"}};

// Records that mostly follow the order, their runs broken now and then: a mark other than
// the run's own at its start, middle or end, an unknown or unterminated name, a record below
// 1 or below the one before, a field out of order or come back.
std::vector<Entry> RandomEntries(std::mt19937_64& random) {
  const auto below = [&](std::uint64_t n) { return static_cast<std::int64_t>(random() % n); };
  const auto chance = [&](int percent) { return below(100) < percent; };
  // A quarter of the files are well formed, the others broken more or less often.
  const std::int64_t level = below(4);
  const auto breaks = [&](int percent) { return below(100) < percent * level; };
  const std::vector<std::int32_t> badMarks = {
      0, 1, 2, -1, 7, 256, std::numeric_limits<std::int32_t>::min()};
  std::vector<Entry> entries;
  std::int64_t record = 0;
  for (std::int64_t records = 1 + below(6); records > 0; --records) {
    record += breaks(3) ? -1 : 1 + below(2);
    for (std::size_t f = 0; f < kFields.size(); ++f) {
      if (chance(30)) continue;
      std::string name = kFields[f].name;
      if (breaks(2)) name = "C";
      if (breaks(2)) name = std::string(kEntryNameSize, 'A');  // no zero byte
      if (breaks(2)) name = kFields[static_cast<std::size_t>(below(kFields.size()))].name;
      const std::int64_t r = breaks(2) ? below(2) - 1 : record;
      // Long runs cross the small blocks.
      const std::int64_t length = 1 + (chance(20) ? below(12) : below(4));
      for (std::int64_t k = 0; k < length; ++k) {
        entries.push_back(Entry{static_cast<char>('a' + k), name, r, k + 1 == length ? 1 : 0});
      }
      if (breaks(8)) {
        const auto at = entries.end() - 1 - below(static_cast<std::uint64_t>(length));
        at->mark = badMarks[static_cast<std::size_t>(below(badMarks.size()))];
      }
    }
  }
  return entries;
}

// The order as the check's description states it, entry by entry.
bool WellFormed(const std::vector<Entry>& entries) {
  std::int64_t record = 0;
  std::size_t field = 0;
  for (std::size_t k = 0; k < entries.size();) {
    const Entry& first = entries[k];
    const auto named = std::find_if(kFields.begin(), kFields.end(),
                                    [&](const FieldSpec& f) { return first.name == f.name; });
    const auto f = static_cast<std::size_t>(named - kFields.begin());
    if (named == kFields.end() || first.record < 1 || first.record < record) return false;
    if (first.record == record && f < field) return false;
    std::size_t end = k;
    while (end < entries.size() && entries[end].name == first.name &&
           entries[end].record == first.record) {
      ++end;
    }
    for (std::size_t e = k; e < end; ++e) {
      if (entries[e].mark != (e + 1 == end ? 1 : 0)) return false;
    }
    record = first.record;
    field = f;
    k = end;
  }
  return true;
}

TEST(WellFormedOrder, RunsTakenWholeAgreeWithEntriesTakenOneByOne) {
  std::mt19937_64 random(16);
  int wellFormed = 0;
  for (int n = 0; n < 4000; ++n) {
    SCOPED_TRACE("file " + std::to_string(n));
    const std::vector<Entry> entries = RandomEntries(random);
    const std::string recordFile = format::RecordFileBytes(entries);
    MemoryTestApp side;
    side.Use("\\mem\\db", format::FieldFileBytes(kFields), recordFile);
    side.app.ScanBlockEntries = 1 + static_cast<std::int64_t>(random() % 8);
    const Database database = DatabaseOf(side.app);
    const std::vector<FieldDef> fields = ReadFieldTable(database);
    const Faults fast = CheckDatabase(database, fields);

    EntryOrder order(fields);
    const auto* bytes = reinterpret_cast<const unsigned char*>(recordFile.data());
    for (std::size_t k = 0; k < entries.size(); ++k) {
      order.Take(static_cast<std::int64_t>(k) + 1, bytes + k * kEntrySize);
    }
    order.Finish(static_cast<std::int64_t>(entries.size()), 0);
    const Faults& slow = order.Found();

    for (std::size_t k = 0; k < kFaultKinds; ++k) {
      const auto kind = static_cast<Fault>(k);
      EXPECT_EQ(fast.Of(kind).count, slow.Of(kind).count) << "fault kind " << k;
      EXPECT_EQ(fast.Of(kind).first, slow.Of(kind).first) << "fault kind " << k;
    }
    EXPECT_EQ(fast.Any(), !WellFormed(entries));
    // The record stream follows the order on its own way through the entries.
    const StreamOutcome streamed = StreamRecords(database, fields, [](auto, const auto&) {});
    EXPECT_EQ(streamed == StreamOutcome::kComplete, WellFormed(entries));
    wellFormed += !fast.Any();
    if (::testing::Test::HasFailure()) return;
  }
  // Both kinds of file were met often.
  EXPECT_GT(wellFormed, 400);
  EXPECT_LT(wellFormed, 3600);
}

}  // namespace
}  // namespace tomo::testing
