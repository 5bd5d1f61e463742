// The SQLite writer binds the values of a batch where they lie, several rows to a statement:
// it must have written every row of the batch when it returns, and read none after.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <string>
#include <vector>

#include "export/record_writer.h"

namespace tomo::cli {
namespace {

std::vector<std::string> Rows(const std::filesystem::path& path) {
  sqlite3* db = nullptr;
  EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  std::vector<std::string> rows;
  sqlite3_exec(
      db, "SELECT record, quote(A), quote(B) FROM records ORDER BY record",
      [](void* into, int columns, char** values, char**) {
        std::string row;
        for (int c = 0; c < columns; ++c) row += std::string(c ? "|" : "") + values[c];
        static_cast<std::vector<std::string>*>(into)->push_back(row);
        return 0;
      },
      &rows, nullptr);
  sqlite3_close(db);
  return rows;
}

TEST(SqliteWriter, WritesEveryRowOfABatchBeforeItsTextsGo) {
  const auto path = std::filesystem::temp_directory_path() / "tomo_sqlite_writer_test.sqlite";
  FieldDef field;
  const std::vector<Column> columns = {{"A", "", &field}, {"B", "", &field}};
  // Batches of 1, 5, 16, 17 and all 40 records: rows to a statement, rows left over, both.
  for (const int each : {1, 5, 16, 17, 40}) {
    SCOPED_TRACE("batches of " + std::to_string(each) + " records");
    std::vector<std::string> expected;
    {
      OutputFile out(path, true);
      const auto writer = MakeSqliteWriter(out, columns, {"A", "B"});
      RecordBatch batch;
      for (int r = 1; r <= 40; ++r) {
        const std::string a = "a" + std::to_string(r);
        batch.Add(r, {a, r % 3 ? RecordValues::value_type(std::nullopt) : ""});
        expected.push_back(std::to_string(r) + "|'" + a + "'|" + (r % 3 ? "NULL" : "''"));
        if (r % each == 0 || r == 40) {
          writer->Batch(batch);
          batch.text.assign(batch.text.size(), 'X');  // the texts go
          batch.Clear();
        }
      }
      writer->Finish();
      out.Commit();
    }
    EXPECT_EQ(Rows(path), expected);
    std::filesystem::remove(path);
  }
}

}  // namespace
}  // namespace tomo::cli
