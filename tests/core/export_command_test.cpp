#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "commands/run_command.h"
#include "database_format.h"
#include "shell/surface_handler.h"
#include "support/linked_app.h"

namespace tomo::testing {
namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Every file under the folder with its bytes.
std::string Snapshot(const fs::path& folder) {
  std::string all;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    all += entry.path().string() + "\n" + Contents(entry.path()) + "\n";
  }
  return all;
}

constexpr char kCsv[] = "\xEF\xBB\xBFrecord,F1,F2\r\n1,1.1,1.2\r\n2,2.1,2.2\r\n3,3.1,3.2\r\n";

TEST(ExportCommand, OffersTheTypesInDocumentsAndWritesWhatTomodbWrites) {
  const struct {
    bool english;
    std::optional<SaveChoice> answer;  // file name in Documents, or "DB/" + name
    bool pressEsc;
    std::string message;
    std::string startOfFile;  // empty: no file
  } cases[] = {
      {false, SaveChoice{"out.csv", 0}, false, "Exportados 3 registros a ", kCsv},
      {true, SaveChoice{"out.csv", 0}, false, "Exported 3 records to ", kCsv},
      {true, SaveChoice{"out.sqlite", 1}, false, "Exported 3 records to ", "SQLite format 3"},
      {false, SaveChoice{"out.jsonl", 2}, false, "Exportados 3 registros a ",
       "{\"record\":1,\"F1\":\"1.1\",\"F2\":\"1.2\"}\n"},
      {false, std::nullopt, false, "", ""},
      {false, SaveChoice{"DB/out.csv", 0}, false,
       "TOMO nunca crea archivos en la carpeta de la base de datos: elija otra carpeta", ""},
      {true, SaveChoice{"DB/db.zbd", 0}, false,
       "TOMO never creates files in the database folder: choose another folder", ""},
      {false, SaveChoice{"out.csv", 0}, true, "Exportaci\xC3\xB3n cancelada", ""},
      {true, SaveChoice{"out.csv", 0}, true, "Export cancelled", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    LinkedApp db(NumberedDatabase(3, 2));
    TempFolder documents;
    FakeUi& ui = db.ui();
    ui.documents = documents.path().string();
    db.app().UseEnglish = c.english ? 1 : 0;
    fs::path target;
    if (c.answer) {
      SaveChoice answer = *c.answer;
      const bool inDatabase = answer.path.starts_with("DB/");
      target = inDatabase ? db.folder.path() / "db" / answer.path.substr(3)
                          : documents.path() / answer.path;
      answer.path = target.string();
      ui.saveAnswers.push_back(answer);
    }
    if (c.pressEsc) {
      db.app().ScanBlockEntries = 1;
      db.app().ScanPumpMicroseconds = 0;
      ui.onPump = [&](int) { SurfaceHandler(db.app(), kKeyDown, 0x1B, 0); };
    }
    const std::string before = Snapshot(db.folder.path());
    ui.messages.clear();
    RunMenuCommand(db.app(), kExport);

    ASSERT_EQ(ui.saveDialogs.size(), 1u);
    const FakeUi::SaveDialog& dialog = ui.saveDialogs[0];
    EXPECT_EQ(dialog.name, "db.csv");
    EXPECT_EQ(dialog.folder, documents.path().string());
    ASSERT_EQ(dialog.types.size(), 3u);
    EXPECT_EQ(dialog.types[0].name, c.english ? "CSV for Excel (*.csv)" : "CSV para Excel (*.csv)");
    EXPECT_EQ(dialog.types[1].name + dialog.types[2].name, "SQLite (*.sqlite)JSON Lines (*.jsonl)");
    EXPECT_EQ(dialog.types[0].extension + dialog.types[1].extension + dialog.types[2].extension,
              "csvsqlitejsonl");

    if (c.message.empty()) {
      EXPECT_TRUE(ui.messages.empty());
    } else {
      ASSERT_EQ(ui.messages.size(), 1u);
      EXPECT_EQ(ui.messages[0].title, "TOMO");
      const bool named = c.message.ends_with(" ");
      EXPECT_EQ(ui.messages[0].text, named ? c.message + target.string() : c.message);
    }
    EXPECT_EQ(Snapshot(db.folder.path()), before);
    // Nothing else is left in Documents: no temporary file.
    const bool written = !c.startOfFile.empty();
    EXPECT_EQ(std::distance(fs::directory_iterator(documents.path()), fs::directory_iterator()),
              written ? 1 : 0);
    if (written) {
      const std::string file = Contents(target);
      const bool csv = c.startOfFile == kCsv;
      EXPECT_EQ(csv ? file : file.substr(0, c.startOfFile.size()), c.startOfFile);
    }
    EXPECT_EQ(ui.caption, "TOMO BD");
    EXPECT_EQ(db.app().InputActive, 0);
  }
}

// A value appended for record 1 makes it the record count, and records 2 and 3 go out after it:
// the box counts the records written.
TEST(ExportCommand, CountsTheRecordsWrittenOfAFileWithAValueAppended) {
  LinkedApp db(NumberedDatabase(3, 2));
  std::ofstream(db.folder.path() / "db" / "db.zbd", std::ios::binary | std::ios::app)
      << format::RecordFileBytes({{'x', "F2", 1, 1}});
  TempFolder documents;
  const fs::path target = documents.path() / "out.csv";
  db.ui().saveAnswers.push_back(SaveChoice{target.string(), 0});
  RunMenuCommand(db.app(), kExport);
  ASSERT_EQ(db.ui().messages.size(), 1u);
  EXPECT_EQ(db.ui().messages[0].text, "Exportados 3 registros a " + target.string());
  EXPECT_EQ(Contents(target), kCsv);
}

}  // namespace
}  // namespace tomo::testing
