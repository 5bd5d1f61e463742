#include "storage/field_table.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "shell/linked_database.h"
#include "support/database_writer.h"

namespace tomo::testing {
namespace {

TEST(LoadFieldTable, ReadsEveryFixedField) {
  TempFolder temp;
  TestApp t;
  std::vector<FieldSpec> fields = {
      {"Nombre", kString, "", 1},
      {std::string(30, 'n'), kArray, "rojo|verde|azul", 0},
      {std::string(40, 'x'), kLogic, std::string(12005, 'o'), -1},
      {"Nombre ", 77, "", 2},
  };
  t.app.DatabaseFolder = WriteDatabase(temp.path(), "db", DatabaseSpec{fields, {}});
  ASSERT_EQ(LoadFieldTable(t.app), 4);
  ASSERT_EQ(t.app.Fields.size(), 4u);
  EXPECT_EQ(t.app.Fields[0].Name, "Nombre");
  EXPECT_EQ(t.app.Fields[0].Type, kString);
  EXPECT_EQ(t.app.Fields[0].Options, "");
  EXPECT_EQ(t.app.Fields[0].SearchFlag, 1);
  EXPECT_EQ(t.app.Fields[1].Name, std::string(30, 'n'));  // 30 characters and a zero byte
  EXPECT_EQ(t.app.Fields[1].Type, kArray);
  EXPECT_EQ(t.app.Fields[1].Options, "rojo|verde|azul");
  EXPECT_EQ(t.app.Fields[1].SearchFlag, 0);
  // 31 name bytes and 12001 option bytes without a zero byte: the first 30 and 12000.
  EXPECT_EQ(t.app.Fields[2].Name, std::string(30, 'x'));
  EXPECT_EQ(t.app.Fields[2].Type, kLogic);
  EXPECT_EQ(t.app.Fields[2].Options, std::string(12000, 'o'));
  EXPECT_EQ(t.app.Fields[2].SearchFlag, -1);
  // Trailing blanks make another name; unknown type codes are kept.
  EXPECT_EQ(t.app.Fields[3].Name, "Nombre ");
  EXPECT_EQ(t.app.Fields[3].Type, 77);
}

TEST(LoadFieldTable, CountsWholeRecordsOnlyAndReplacesTheTable) {
  TempFolder temp;
  TestApp t;
  std::string bytes = format::FieldFileBytes({{"Nombre"}, {"Edad", kInteger}});
  t.app.DatabaseFolder = WriteDatabaseFiles(temp.path(), "two", bytes, std::nullopt);
  EXPECT_EQ(LoadFieldTable(t.app), 2);
  bytes.resize(12042 + 100);
  t.app.DatabaseFolder = WriteDatabaseFiles(temp.path(), "partial", bytes, std::nullopt);
  EXPECT_EQ(LoadFieldTable(t.app), 1);
  EXPECT_EQ(t.app.Fields.size(), 1u);
  t.app.DatabaseFolder = WriteDatabaseFiles(temp.path(), "empty", std::string(), std::nullopt);
  EXPECT_EQ(LoadFieldTable(t.app), 0);
  EXPECT_TRUE(t.app.Fields.empty());
  t.app.DatabaseFolder = WriteDatabaseFiles(temp.path(), "missing", std::nullopt, std::nullopt);
  EXPECT_EQ(LoadFieldTable(t.app), 0);
  t.app.DatabaseFolder.clear();
  EXPECT_EQ(LoadFieldTable(t.app), 0);
}

TEST(LoadFieldTable, ReadsLargeFilesInFewBlocks) {
  TempFolder temp;
  TestApp t;
  std::vector<FieldSpec> fields(300, FieldSpec{"F"});
  for (std::size_t k = 0; k < fields.size(); ++k) fields[k].name = "F" + std::to_string(k + 1);
  t.app.DatabaseFolder = WriteDatabase(temp.path(), "db", DatabaseSpec{fields, {}});
  const std::int64_t before = t.fake->files.bytesRead;
  ASSERT_EQ(LoadFieldTable(t.app), 300);
  EXPECT_EQ(t.app.Fields[299].Name, "F300");
  EXPECT_EQ(t.fake->files.bytesRead - before, 300 * kFieldRecordSize);
}

}  // namespace
}  // namespace tomo::testing
