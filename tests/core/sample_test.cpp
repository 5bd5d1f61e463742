// The sample database in samples/agenda: made from its description, and shown.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>

#include "fakes/fake_platform.h"
#include "fakes/memory_files.h"
#include "sample_source.h"
#include "shell/linked_database.h"
#include "storage/field_table.h"
#include "storage/fill_grid.h"
#include "storage/record_file.h"
#include "support/database_writer.h"
#include "support/reference_reader.h"

namespace tomo::testing {
namespace {

const std::string kSamples = TOMO_SAMPLES_DIR;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(SampleAgenda, RegeneratingGivesTheCommittedFiles) {
  const DatabaseSpec database = format::ParseSampleSource(ReadFile(kSamples + "/agenda.txt"));
  EXPECT_EQ(format::FieldFileBytes(database.fields), ReadFile(kSamples + "/agenda/agenda.z04"));
  EXPECT_EQ(format::RecordFileBytes(format::RecordEntries(database)),
            ReadFile(kSamples + "/agenda/agenda.zbd"));
  // What the sample is there to show.
  EXPECT_GE(database.records.size(), 60u);
  EXPECT_GE(database.fields.size(), 40u);
  std::set<int> types, flags;
  for (const FieldSpec& field : database.fields) {
    types.insert(field.type);
    flags.insert(field.searchFlag);
  }
  EXPECT_EQ(types.size(), 10u);
  EXPECT_EQ(flags, (std::set<int>{0, 1}));
}

TEST(SampleAgenda, FillsTheGrid) {
  TestApp t;  // 1024 x 768: records 1..8 across, fields 1..22 down
  t.app.DatabaseFolder = BackslashPath(kSamples + "/agenda");
  t.app.Cells = CellGrid(t.app.LastColumn, t.app.LastRow);
  FillGrid(t.app, 1);
  EXPECT_EQ(t.app.Cells.At(1, 0), "1");
  EXPECT_EQ(t.app.Cells.At(8, 0), "8");
  EXPECT_EQ(t.app.Cells.At(0, 1), "Nombre");
  EXPECT_EQ(t.app.Cells.At(0, 11), "Pa\xEDs");  // Windows-1252
  EXPECT_EQ(t.app.Cells.At(1, 1), "Mart\xEDn");
  EXPECT_EQ(t.app.Cells.At(7, 11), "Alemania");             // &H6D
  EXPECT_EQ(t.app.Cells.At(7, 5), "No datos");              // no mobile number
  EXPECT_EQ(t.app.Cells.At(7, 14), " Administraci\xF3n ");  // 102, blanks inside the list
  EXPECT_EQ(t.app.Cells.At(4, 15), "24/02/1977");           // stored with blanks around
  EXPECT_EQ(t.app.Cells.At(1, 6), "martin.martinez@correo-ejemplo.es");
  t.app.FirstField = 20;
  t.app.Cells = CellGrid(t.app.LastColumn, t.app.LastRow);
  FillGrid(t.app, 1);
  EXPECT_EQ(t.app.Cells.At(0, 1), "Saldo");
  EXPECT_EQ(t.app.Cells.At(1, 4), "si");         // Activo 0.6
  EXPECT_EQ(t.app.Cells.At(7, 6), "no");         // Proveedor absent
  EXPECT_EQ(t.app.Cells.At(7, 8), "ingl\xE9s");  // Idioma &H65
  EXPECT_EQ(t.app.Cells.At(7, 11), "");          // Prioridad absent
}

TEST(SampleAgenda, FillsAndSearchesAsTheReferenceDoes) {
  const std::string folder = "\\samples\\agenda";
  MemoryTestApp fast, slow;
  for (MemoryTestApp* side : {&fast, &slow}) {
    side->Use(folder, ReadFile(kSamples + "/agenda/agenda.z04"),
              ReadFile(kSamples + "/agenda/agenda.zbd"));
    side->app.LastColumn = 8;
    side->app.LastRow = 22;
  }
  for (const auto& [first, field] : {std::pair{1, 1}, {30, 5}, {57, 22}, {60, 30}, {64, 43}}) {
    SCOPED_TRACE(std::to_string(first) + " " + std::to_string(field));
    for (MemoryTestApp* side : {&fast, &slow}) {
      side->app.FirstField = field;
      side->app.Cells = CellGrid(8, 22);
    }
    FillGrid(fast.app, first);
    reference::FillGrid(slow.app, first);
    for (int r = 0; r <= 22; ++r) {
      for (int c = 0; c <= 8; ++c) ASSERT_EQ(fast.app.Cells.At(c, r), slow.app.Cells.At(c, r));
    }
    EXPECT_EQ(fast.app.ViewStart, slow.app.ViewStart);
    EXPECT_EQ(fast.app.ScanStart, slow.app.ScanStart);
    EXPECT_EQ(fast.app.ScanRecord, slow.app.ScanRecord);
  }
  for (const char* text : {"Ana", "Banco A\xF1il", "No datos", "nobody", "1064"}) {
    for (int row = 1; row <= 22; row += 3) {
      for (MemoryTestApp* side : {&fast, &slow}) {
        side->app.FirstField = 20;
        side->app.CurrentRow = static_cast<std::int16_t>(row);
        side->app.TypedText = text;
        LoadFieldTable(side->app);
      }
      EXPECT_EQ(FindRecordByValue(fast.app), reference::FindRecordByValue(slow.app));
      EXPECT_EQ(fast.app.FirstRecord, slow.app.FirstRecord);
      EXPECT_EQ(fast.app.ScanStart, slow.app.ScanStart);
    }
  }
}

}  // namespace
}  // namespace tomo::testing
