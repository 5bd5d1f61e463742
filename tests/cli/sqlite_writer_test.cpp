// The SQLite writer binds the values it is handed as they are, several rows to a statement:
// it must have written every row it kept when told that their texts go, and read none after.
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

TEST(SqliteWriter, WritesTheRowsItKeptBeforeTheirTextsGo) {
  const auto path = std::filesystem::temp_directory_path() / "tomo_sqlite_writer_test.sqlite";
  FieldDef field;
  const std::vector<Column> columns = {{"A", "", &field}, {"B", "", &field}};
  for (const int each : {1, 5, 16, 17, 1000}) {
    SCOPED_TRACE("texts go after every " + std::to_string(each) + " records");
    std::vector<std::string> expected;
    {
      OutputFile out(path, true);
      const auto writer = MakeSqliteWriter(out, columns, {"A", "B"});
      std::string texts;   // the records' texts, overwritten once they go
      texts.reserve(400);  // never moved
      for (int r = 1; r <= 40; ++r) {
        const std::string a = "a" + std::to_string(r);
        texts += a;
        const std::string_view kept(texts.data() + texts.size() - a.size(), a.size());
        const RecordValues values = {kept, r % 3 ? RecordValues::value_type(std::nullopt) : ""};
        writer->Record(r, values);
        expected.push_back(std::to_string(r) + "|'" + a + "'|" + (r % 3 ? "NULL" : "''"));
        if (r % each == 0) {
          writer->ValuesGo();
          texts.assign(texts.size(), 'X');
          texts.clear();
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
