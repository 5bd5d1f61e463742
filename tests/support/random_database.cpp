#include "support/random_database.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "shell/linked_database.h"
#include "storage/field_table.h"
#include "storage/record_file.h"
#include "storage/value_rendering.h"
#include "support/database_writer.h"
#include "support/reference_reader.h"

namespace tomo::testing {

namespace {

const std::vector<std::string> kNames = {"A", "B", "Nombre", "a", "A ", "", "Se\xF1or"};
const std::vector<std::int16_t> kTypes = {3, 3, 4, 9, 5, 0, 12};

template <typename T>
const T& Pick(std::mt19937_64& random, const std::vector<T>& items) {
  return items[random() % items.size()];
}

bool Chance(std::mt19937_64& random, double p) {
  return std::uniform_real_distribution<double>(0, 1)(random) < p;
}

std::string RandomText(std::mt19937_64& random) {
  static const std::string kCharacters = std::string("ab1 0.&H,\"\n\xE1\xF1\x80", 15) + '\0';
  std::string text(1 + random() % 4, ' ');
  for (char& c : text) c = kCharacters[random() % kCharacters.size()];
  return text;
}

std::int64_t RandomRecord(std::mt19937_64& random) {
  if (Chance(random, 0.93)) return static_cast<std::int64_t>(random() % 7) + 1;
  return Pick(random, std::vector<std::int64_t>{0, -1, 100, std::int64_t{1} << 40});
}

DatabaseSpec RandomSpec(std::mt19937_64& random, bool uniqueNames) {
  DatabaseSpec database;
  std::vector<std::string> names = kNames;
  std::shuffle(names.begin(), names.end(), random);
  const std::size_t fields = 1 + random() % 4;
  for (std::size_t f = 0; f < fields; ++f) {
    const std::string name = uniqueNames ? names[f] : Pick(random, kNames);
    database.fields.push_back(
        FieldSpec{name, Pick(random, kTypes), Chance(random, 0.5) ? "x|y|z" : " p | q ", 1});
  }
  const std::int64_t records = static_cast<std::int64_t>(random() % 9);
  for (std::int64_t r = 1; r <= records; ++r) {
    if (Chance(random, 0.15)) continue;  // a record without entries
    RecordSpec record{r, {}};
    for (std::size_t f = 0; f < fields; ++f) {
      record.values.push_back(Chance(random, 0.75) ? std::optional(RandomText(random))
                                                   : std::nullopt);
    }
    database.records.push_back(record);
  }
  return database;
}

// Entries of no order at all: short runs of random names, records, characters and marks.
std::vector<Entry> RawEntries(std::mt19937_64& random) {
  std::vector<Entry> entries;
  const std::size_t runs = random() % 30;
  for (std::size_t run = 0; run < runs; ++run) {
    std::string name = Pick(random, kNames);
    if (Chance(random, 0.05)) name = std::string(35, 'A');            // no zero byte
    if (Chance(random, 0.05)) name += std::string(1, '\0') + "junk";  // bytes after the zero
    const std::int64_t record = RandomRecord(random);
    const std::size_t length = 1 + random() % 5;
    for (std::size_t k = 0; k < length; ++k) {
      const std::int32_t mark = k + 1 == length
                                    ? Pick(random, std::vector<std::int32_t>{1, 1, 1, 0, 2})
                                    : Pick(random, std::vector<std::int32_t>{0, 0, 0, 1});
      entries.push_back(Entry{RandomText(random)[0], name, record, mark});
    }
  }
  return entries;
}

// Values appended after the entries, as an edit by appending leaves them: of the database's
// records and others, of its fields and others, now and then a zero-filled entry.
void AppendValues(std::mt19937_64& random, const DatabaseSpec& database,
                  std::vector<Entry>& entries) {
  const std::size_t values = 1 + random() % 3;
  for (std::size_t v = 0; v < values; ++v) {
    if (Chance(random, 0.1)) {
      entries.push_back(Entry{'\0', "", 0, 0});
      continue;
    }
    const std::string name =
        Chance(random, 0.9) ? Pick(random, database.fields).name : Pick(random, kNames);
    const std::int64_t record =
        Chance(random, 0.8) ? static_cast<std::int64_t>(random() % 9) + 1 : RandomRecord(random);
    const std::vector<Entry> value = format::ValueEntries(name, record, RandomText(random));
    entries.insert(entries.end(), value.begin(), value.end());
  }
}

}  // namespace

RandomDatabase MakeRandomDatabase(std::mt19937_64& random) {
  const int kind = static_cast<int>(random() % 12);
  const bool wellFormed = kind < 4;
  const DatabaseSpec described = RandomSpec(random, wellFormed || kind >= 10);
  std::vector<Entry> entries;
  if (wellFormed || kind >= 10) {
    entries = format::RecordEntries(described);
    if (kind >= 10) AppendValues(random, described, entries);
    // Bytes after a name's zero byte are not part of it.
    for (Entry& entry : entries) {
      if (Chance(random, 0.1)) entry.name += std::string(1, '\0') + "x";
    }
  } else if (kind < 7) {
    Breakage breakage;
    breakage.seed = static_cast<std::uint32_t>(random());
    breakage.shuffleRecords = Chance(random, 0.4);
    breakage.interruptRuns = Chance(random, 0.3);
    if (Chance(random, 0.2)) breakage.lastMark = Pick(random, std::vector<std::int32_t>{0, 2});
    breakage.unterminatedNames = Chance(random, 0.05);
    entries = BrokenEntries(described, breakage);
  } else {
    entries = RawEntries(random);
  }
  RandomDatabase database{format::FieldFileBytes(described.fields),
                          format::RecordFileBytes(entries), wellFormed, kind >= 10};
  if (Chance(random, 0.1)) database.recordFile.append(random() % 54, '\x07');
  return database;
}

RecordTable ReferenceRecords(MemoryTestApp& side) {
  App& app = side.app;
  const std::int64_t fieldCount = LoadFieldTable(app);
  const std::int64_t recordCount = std::max<std::int64_t>(reference::CountRecords(app), 0);
  const std::vector<FieldDef> fields = app.Fields;
  // The reads of the fill, row by row from ViewStart, as the reference reads them one by one.
  RecordTable records(static_cast<std::size_t>(recordCount),
                      std::vector<std::optional<std::string>>(fields.size()));
  app.ScanStart = app.ScanRecord = app.ViewStart = 0;
  if (fieldCount > 0) app.ViewStart = reference::FindValueStart(app, fields[0].Name, 1);
  for (std::size_t f = 0; f < fields.size(); ++f) {
    app.ScanStart = app.ViewStart;
    for (std::int64_t r = 1; r <= recordCount; ++r) {
      std::string value = reference::ReadValue(app, fields[f].Name, r);
      if (value != kNoData) records[static_cast<std::size_t>(r - 1)][f] = std::move(value);
    }
  }
  // The same cells as the reference's own fill.
  app.ScanStart = app.ScanRecord = app.ViewStart = 0;
  app.FirstField = 1;
  app.LastColumn = static_cast<std::int16_t>(recordCount);
  app.LastRow = static_cast<std::int16_t>(fieldCount);
  app.Cells = CellGrid(app.LastColumn, app.LastRow);
  reference::FillGrid(app, 1);
  for (std::int64_t r = 1; r <= recordCount; ++r) {
    for (std::size_t f = 0; f < fields.size(); ++f) {
      const auto& value = records[static_cast<std::size_t>(r - 1)][f];
      EXPECT_EQ(app.Cells.At(static_cast<int>(r), static_cast<int>(f) + 1),
                RenderValue(fields[f], value.value_or(std::string(kNoData))));
    }
  }
  return records;
}

LinkedRandomDatabase LinkRandomDatabase(std::mt19937_64& random) {
  LinkedRandomDatabase linked{MakeRandomDatabase(random), std::make_unique<MemoryTestApp>()};
  linked.side->Use("\\mem\\db", linked.files.fieldFile, linked.files.recordFile);
  const std::uint64_t draw = random();
  if (draw % 2) {
    linked.side->app.ScanBlockEntries = 1 + static_cast<std::int64_t>(random() % 5);
  }
  return linked;
}

}  // namespace tomo::testing
