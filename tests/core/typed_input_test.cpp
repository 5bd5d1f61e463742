#include "search/typed_input.h"

#include <gtest/gtest.h>

#include <functional>

#include "commands/run_command.h"
#include "shell/surface_handler.h"
#include "support/linked_app.h"

namespace tomo::testing {
namespace {

// Types a character as the surface delivers it: the slot holds it until the key is released.
void Type(App& app, FakeUi& ui, int code) {
  ui.pendingCharacter = code;
  SurfaceHandler(app, kKeyUp, 0, 0);
}

void TypeText(App& app, FakeUi& ui, std::string_view text) {
  for (char c : text) Type(app, ui, static_cast<unsigned char>(c));
}

// The echo on the surface: the last text printed at the entry cell's echo position.
std::string Echo(LinkedApp& db) {
  const App& app = db.app();
  std::string echo = "(none)";
  for (const auto& text : db.surface().TextsOn(kGridSurface)) {
    if (text.x == 106 * app.CurrentColumn + 3 && text.y == 32 * app.CurrentRow + 8) {
      echo = text.text;
    }
  }
  return echo;
}

// A database of 50 records whose first field holds names, Ana in records 3 and 7.
DatabaseSpec People() {
  DatabaseSpec database = NumberedDatabase(50, 3);
  database.records[2].values[0] = "Ana";
  database.records[6].values[0] = "Ana";
  database.records[8].values[0] = "Ana ";
  database.records[9].values[0] = std::nullopt;
  return database;
}

struct Entry : LinkedApp {
  Entry(std::int32_t command, int column, int row) : LinkedApp(People()) {
    app().CurrentColumn = static_cast<std::int16_t>(column);
    app().CurrentRow = static_cast<std::int16_t>(row);
    RunMenuCommand(app(), command);
  }
  void Type(std::string_view text) { TypeText(app(), ui(), text); }
  void Enter() { testing::Type(app(), ui(), 13); }
};

TEST(TypedInput, EchoShowsTheLastThirteenCharactersAndTheCaret) {
  Entry e(kGoToRecord, 2, 3);
  e.Type("abc");
  EXPECT_EQ(e.app().TypedText, "abc");
  EXPECT_EQ(Echo(e), "abc|");
  e.Type("DEFGHIJKLMNOP");
  EXPECT_EQ(Echo(e), "DEFGHIJKLMNOP|");
  testing::Type(e.app(), e.ui(), 8);
  EXPECT_EQ(Echo(e), "cDEFGHIJKLMNO|");
  // Escape and other control codes are characters; Tab never reaches the slot.
  testing::Type(e.app(), e.ui(), 27);
  EXPECT_EQ(e.app().TypedText.back(), '\x1B');
  EXPECT_EQ(e.app().InputActive, 1);
  // Keys without a character leave an extended code that is not taken.
  testing::Type(e.app(), e.ui(), 0xE025);
  EXPECT_EQ(e.app().TypedText.size(), 16u);
}

TEST(TypedInput, BackspaceOnNothingChangesNothing) {
  Entry e(kGoToRecord, 2, 3);
  const int copies = e.surface().copies;
  testing::Type(e.app(), e.ui(), 8);
  EXPECT_EQ(e.surface().copies, copies);
  EXPECT_EQ(e.app().InputActive, 1);
  EXPECT_EQ(Echo(e), "|");
}

TEST(TypedInput, ArrowsPointerAndMenuWaitForTheEntryToEnd) {
  Entry e(kGoToRecord, 2, 3);
  SurfaceHandler(e.app(), kKeyDown, 0x27, 0);
  SurfaceHandler(e.app(), kPointerMoved, 0, (100 << 16) | 300);
  SurfaceHandler(e.app(), kRightButtonDown, 0, (100 << 16) | 300);
  EXPECT_EQ(e.app().FirstRecord, 1);
  EXPECT_EQ(e.app().CurrentColumn, 2);
  EXPECT_TRUE(e.ui().menus.empty());
}

TEST(RecordJump, LeadingZerosAndTheEmptyEntry) {
  Entry e(kGoToRecord, 2, 3);
  e.Type("0042");
  e.Enter();
  EXPECT_EQ(e.app().FirstRecord, 42);
  EXPECT_EQ(e.app().Cells.At(1, 0), "42");
  EXPECT_EQ(e.app().Cells.At(1, 1), "42.1");
  EXPECT_EQ(e.app().InputActive, 0);
  EXPECT_EQ(e.app().EntryIsRecordNumber, 0);

  RunMenuCommand(e.app(), kGoToRecord);
  e.Enter();
  EXPECT_EQ(e.app().FirstRecord, 0);
  EXPECT_EQ(e.app().Cells.At(1, 0), "0");
  EXPECT_EQ(e.app().Cells.At(2, 0), "1");
}

TEST(RecordJump, InvalidEntriesEndSilently) {
  Entry e(kGoToRecord, 2, 3);
  for (std::string_view typed : {"12 3", "-5", "1e3", "99999999999999999999"}) {
    RunMenuCommand(e.app(), kGoToRecord);
    e.Type(typed);
    e.Enter();
    EXPECT_EQ(e.app().FirstRecord, 1) << typed;
    EXPECT_EQ(e.app().InputActive, 0);
    EXPECT_TRUE(e.app().TypedText.empty());
    EXPECT_EQ(e.app().Cells.At(2, 3), "");  // the entry cell stays empty until a refill
  }
  EXPECT_TRUE(e.ui().messages.empty());
  // The largest record number is taken as it is; the columns after it wrap around.
  RunMenuCommand(e.app(), kGoToRecord);
  e.Type("9223372036854775807");
  e.Enter();
  EXPECT_EQ(e.app().FirstRecord, INT64_MAX);
  EXPECT_EQ(e.app().Cells.At(1, 0), "9223372036854775807");
}

TEST(Search, FindsTheFirstRecordHoldingExactlyTheText) {
  Entry e(kSearch, 0, 1);
  e.Type("Ana");
  e.Enter();
  EXPECT_EQ(e.app().FirstRecord, 3);
  EXPECT_EQ(e.app().Cells.At(1, 1), "Ana");
  EXPECT_EQ(e.app().Cells.At(0, 1), "F1");  // the entry cell has its name back
  EXPECT_EQ(e.app().InputActive, 0);
  EXPECT_TRUE(e.ui().messages.empty());
  // Every search starts at record 1.
  RunMenuCommand(e.app(), kSearch);
  e.Type("Ana");
  e.Enter();
  EXPECT_EQ(e.app().FirstRecord, 3);
  // Absent values read as "No datos".
  RunMenuCommand(e.app(), kSearch);
  e.Type("No datos");
  e.Enter();
  EXPECT_EQ(e.app().FirstRecord, 10);
}

TEST(Search, NotFoundInBothLanguages) {
  Entry e(kSearch, 0, 1);
  e.app().FirstRecord = 5;
  for (std::string_view typed : {"ana", "Ana  ", ""}) {
    RunMenuCommand(e.app(), kSearch);
    e.Type(typed);
    e.Enter();
    EXPECT_EQ(e.app().FirstRecord, 5) << typed;
  }
  ASSERT_EQ(e.ui().messages.size(), 3u);
  EXPECT_EQ(e.ui().messages[0].text, "Dato NO encontrado ...");
  EXPECT_EQ(e.ui().messages[0].title, "TOMO");
  e.app().UseEnglish = 1;
  RunMenuCommand(e.app(), kSearch);
  e.Type("nobody");
  e.Enter();
  EXPECT_EQ(e.ui().messages.back().text, "Data NOT found ...");
  EXPECT_EQ(e.app().Cells.At(1, 0), "5");  // refilled from the unchanged first record
}

TEST(Search, InputArrivingMidSearchWaitsUntilTheSearchIsDone) {
  // Without interference: the search, then one step right.
  Entry plain(kSearch, 0, 1);
  plain.Type("Ana");
  plain.Enter();
  SurfaceHandler(plain.app(), kKeyDown, 0x27, 0);

  Entry busy(kSearch, 0, 1);
  busy.Type("Ana");
  busy.app().ScanBlockEntries = 4;  // small blocks, and a pump after every block
  busy.app().ScanPumpMicroseconds = 0;
  int pumps = 0;
  busy.ui().onPump = [&](int) {
    // A step right, a typed character and a pointer move arrive during the scan.
    if (++pumps == 1) {
      SurfaceHandler(busy.app(), kKeyDown, 0x27, 0);
      Type(busy.app(), busy.ui(), 'x');
      SurfaceHandler(busy.app(), kPointerMoved, 0, (40 << 16) | 300);
      EXPECT_EQ(busy.app().FirstRecord, 1);  // nothing has moved yet
    }
  };
  busy.Enter();
  busy.ui().onPump = nullptr;
  EXPECT_GT(pumps, 1);
  EXPECT_EQ(busy.app().FirstRecord, 4);
  EXPECT_EQ(busy.app().TypedText, "Ana");  // the search had closed the input
  EXPECT_EQ(busy.ui().caption, "2x1");
  for (int c = 0; c <= busy.app().LastColumn; ++c) {
    for (int r = 0; r <= busy.app().LastRow; ++r) {
      EXPECT_EQ(busy.app().Cells.At(c, r), plain.app().Cells.At(c, r)) << c << "," << r;
    }
  }
}

// Keys typed while no entry is open reach no entry: not during the scan of a menu command,
// not beside a message box. After a search for "An" that found nothing, a stray "a" and
// Enter would find "Ana" in record 3 if they were taken.
TEST(TypedInput, KeysOutsideAnOpenEntryChangeNothing) {
  TempFolder empty;
  const std::string noDatabase = BackslashPath(empty.path());
  struct Case {
    const char* name;
    std::function<void(Entry&)> run;
  };
  const Case cases[] = {
      {"Update", [](Entry& e) { RunMenuCommand(e.app(), kUpdate); }},
      {"First record", [](Entry& e) { RunMenuCommand(e.app(), kFirstRecordCommand); }},
      {"Link to database", [](Entry& e) { RunMenuCommand(e.app(), kLinkDatabase); }},
      {"a folder without a database",
       [&](Entry& e) {
         e.ui().folderAnswers.push_back(noDatabase);
         RunMenuCommand(e.app(), kLinkDatabase);
       }},
      {"the not-found box",
       [](Entry& e) {
         RunMenuCommand(e.app(), kSearch);
         e.Type("An");
         e.Enter();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Entry plain(kSearch, 0, 1), stray(kSearch, 0, 1);
    for (Entry* e : {&plain, &stray}) {
      e->Type("An");
      e->Enter();
      e->app().FirstRecord = 5;
      e->app().ScanBlockEntries = 4;  // small blocks, and a pump after every block
      e->app().ScanPumpMicroseconds = 0;
    }
    int strays = 0;
    const auto typeStray = [&] {
      if (strays++ > 0) return;
      stray.Type("a");
      stray.Enter();
    };
    stray.ui().onPump = [&](int) { typeStray(); };
    stray.ui().onMessage = typeStray;
    const std::size_t printedBefore = stray.surface().printed.size();
    c.run(plain);
    c.run(stray);
    EXPECT_GE(strays, 1);  // the stray keys did arrive
    EXPECT_EQ(stray.app().TypedText, plain.app().TypedText);
    EXPECT_EQ(stray.app().FirstRecord, plain.app().FirstRecord);
    EXPECT_EQ(stray.ui().messages.size(), plain.ui().messages.size());
    EXPECT_EQ(stray.app().InputActive, 0);
    for (int col = 0; col <= stray.app().LastColumn; ++col) {
      for (int r = 0; r <= stray.app().LastRow; ++r) {
        ASSERT_EQ(stray.app().Cells.At(col, r), plain.app().Cells.At(col, r)) << col << "," << r;
      }
    }
    for (std::size_t i = printedBefore; i < stray.surface().printed.size(); ++i) {
      EXPECT_EQ(stray.surface().printed[i].text.find('|'), std::string::npos) << "an echo";
    }
  }
  // An entry opened afterwards takes keys exactly as before.
  Entry e(kSearch, 0, 1);
  RunMenuCommand(e.app(), kUpdate);
  RunMenuCommand(e.app(), kSearch);
  e.Type("Ana");
  EXPECT_EQ(Echo(e), "Ana|");
  e.Enter();
  EXPECT_EQ(e.app().FirstRecord, 3);
}

// Input that arrives while an ending search scans is held, and only what is replayed; the
// not-found box comes after the replay, with nothing held, and input beside it is handled.
TEST(Search, TheNotFoundBoxHoldsNoInput) {
  Entry e(kSearch, 0, 1);
  e.Type("nobody");
  e.app().ScanBlockEntries = 4;
  e.app().ScanPumpMicroseconds = 0;
  std::vector<std::uint32_t> held;
  e.ui().onPump = [&](int pump) {
    if (pump != 1) return;
    SurfaceHandler(e.app(), kKeyDown, 0x27, 0);                         // held
    SurfaceHandler(e.app(), kPointerMoved, 0, (40 << 16) | 300);        // held
    Type(e.app(), e.ui(), 'x');                                         // held
    SurfaceHandler(e.app(), kRightButtonDown, 0, (5000 << 16) | 5000);  // held, off the grid
    SurfaceHandler(e.app(), kLeftButtonDown, 0, 0);                     // not held: no effect
    SurfaceHandler(e.app(), kWheel, 0x00780000, 0);
    SurfaceHandler(e.app(), 0x000F, 0, 0);  // a paint
    for (const HeldMessage& m : e.app().HeldInput) held.push_back(m.message);
  };
  e.ui().onMessage = [&] {
    EXPECT_EQ(e.app().HoldingInput, 0);
    EXPECT_TRUE(e.app().HeldInput.empty());
    EXPECT_EQ(e.app().FirstRecord, 2);  // the held step was replayed before the box
    EXPECT_EQ(e.ui().caption, "2x1");
    SurfaceHandler(e.app(), kPointerMoved, 0, (32 << 16) | 300);
    EXPECT_EQ(e.ui().caption, "2x1");
    SurfaceHandler(e.app(), kPointerMoved, 0, (64 << 16) | 450);
    EXPECT_EQ(e.ui().caption, "4x2");  // the caption follows the pointer beside the box
    SurfaceHandler(e.app(), kKeyDown, 0x27, 0);
    EXPECT_EQ(e.app().FirstRecord, 3);  // and the arrows move
  };
  e.Enter();
  EXPECT_EQ(held, (std::vector<std::uint32_t>{kKeyDown, kPointerMoved, kKeyUp, kRightButtonDown}));
  ASSERT_EQ(e.ui().messages.size(), 1u);
  EXPECT_EQ(e.app().FirstRecord, 3);
  EXPECT_EQ(e.app().TypedText, "nobody");
  EXPECT_TRUE(e.ui().menus.empty());
}

}  // namespace
}  // namespace tomo::testing
