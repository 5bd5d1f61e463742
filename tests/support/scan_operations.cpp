#include "support/scan_operations.h"

#include "commands/run_command.h"
#include "search/typed_input.h"
#include "shell/linked_database.h"
#include "shell/repaint.h"
#include "shell/surface_handler.h"
#include "storage/field_table.h"
#include "storage/fill_grid.h"
#include "storage/record_file.h"
#include "support/database_writer.h"
#include "support/reference_files.h"
#include "support/reference_reader.h"

namespace tomo::testing {

namespace {

constexpr std::uint64_t kRightArrow = 0x27;
constexpr std::uint64_t kDownArrow = 0x28;

// Links the database through its menu command, as the user does.
void Link(App& app, FakeUi& ui, const std::string& folder) {
  ui.folderAnswers.push_back(folder);
  app.InputActive = 1;
  std::int32_t command = kLinkDatabase;
  RunCommand(app, command);
}

// A state linked to the database through its menu command, showing record `first` first,
// with the block summary that linking made or, without it, one whose next fill reads the file
// as the first one does.
std::function<void(App&, FakeUi&)> LinkedAt(const std::string& folder, std::int64_t first,
                                            bool withSummary) {
  return [folder, first, withSummary](App& app, FakeUi& ui) {
    Link(app, ui, folder);
    if (!withSummary) app.Summary.reset();
    app.FirstRecord = first;
  };
}

// The reference's part of an arrow move: the new view filled entry by entry and repainted.
void ReferenceMove(App& app) {
  RecreateCellGrid(app);
  reference::FillGrid(app, app.FirstRecord);
  Repaint(app);
}

std::int64_t StepRight(App& app) {
  SurfaceHandler(app, kKeyDown, kRightArrow, 0);
  return 0;
}

std::int64_t ReferenceStepRight(App& app) {
  if (app.FirstRecord < reference::CountRecords(app)) {
    ++app.FirstRecord;
    ReferenceMove(app);
  }
  return 0;
}

}  // namespace

std::vector<ScanOperation> SummaryOperations(const format::BenchmarkDatabase& database) {
  const std::string folder = BackslashPath(database.folder);
  const std::int64_t last = database.records;
  const auto linkedAt = [folder](std::int64_t first) { return LinkedAt(folder, first, true); };
  // The record number typed after "Go to record", ready for Enter.
  const auto typedAt = [linkedAt, last](App& app, FakeUi& ui) {
    linkedAt(1)(app, ui);
    app.InputActive = 1;
    app.EntryIsRecordNumber = 1;
    app.TypedText = std::to_string(last);
  };
  return {
      {"→ step to the last record", false, linkedAt(last - 1), StepRight, ReferenceStepRight},
      {"→ step to the middle record", false, linkedAt(last / 2 - 1), StepRight, ReferenceStepRight},
      {"jump to the last record", false, typedAt,
       [](App& app) -> std::int64_t {
         FinishEntry(app);
         return 0;
       },
       [last](App& app) -> std::int64_t {
         app.FirstRecord = last;
         ReferenceMove(app);
         app.EntryIsRecordNumber = 0;
         app.InputActive = 0;
         return 0;
       }},
  };
}

std::vector<ScanOperation> ScanOperations(const format::BenchmarkDatabase& database) {
  const std::string folder = BackslashPath(database.folder);
  const std::int64_t last = database.records;
  // Without the summary that linking made: these fills read the file as the first one does.
  const auto linkedAt = [folder](std::int64_t first) { return LinkedAt(folder, first, false); };
  const auto searchFor = [linkedAt](std::string text) {
    return [linkedAt, text](App& app, FakeUi& ui) {
      linkedAt(1)(app, ui);
      LoadFieldTable(app);
      app.FirstField = 1;
      app.CurrentRow = format::kUniqueNameField;
      app.TypedText = text;
    };
  };
  const auto search = [](App& app) -> std::int64_t { return FindRecordByValue(app); };
  const auto referenceSearch = [](App& app) -> std::int64_t {
    return reference::FindRecordByValue(app);
  };
  const std::string lastName = *format::BenchmarkValue(format::kUniqueNameField, last, true);

  return {
      {"first fill after linking", true,
       [folder](App& app, FakeUi& ui) {
         app.DatabaseFolder = folder;
         ui.folderAnswers.push_back(folder);
         app.InputActive = 1;
       },
       [](App& app) -> std::int64_t {
         std::int32_t command = kLinkDatabase;
         RunCommand(app, command);
         return 0;
       },
       [](App& app) -> std::int64_t {
         ResetRecordColors(app);
         RecreateCellGrid(app);
         app.FirstRecord = 1;
         app.FirstField = 1;
         reference::FillGrid(app, 1);
         app.DatabaseLinked = 1;
         Repaint(app);
         app.InputActive = 0;
         return 0;
       }},
      {"fill at the last record, no summary", true, linkedAt(last),
       [last](App& app) -> std::int64_t {
         RecreateCellGrid(app);
         FillGrid(app, last);
         return 0;
       },
       [last](App& app) -> std::int64_t {
         RecreateCellGrid(app);
         reference::FillGrid(app, last);
         return 0;
       }},
      {"→ step to the last record, no summary", true, linkedAt(last - 1), StepRight,
       ReferenceStepRight},
      {"↓ step at the last record, no summary", true, linkedAt(last),
       [](App& app) -> std::int64_t {
         SurfaceHandler(app, kKeyDown, kDownArrow, 0);
         return 0;
       },
       [](App& app) -> std::int64_t {
         const auto fields = static_cast<std::int64_t>(reference::LoadFields(app).size());
         if (fields > app.LastRow && app.FirstField < fields - app.LastRow + 1) {
           ++app.FirstField;
           ReferenceMove(app);
         }
         return 0;
       }},
      {"CountRecords", false, linkedAt(1), [](App& app) { return CountRecords(app); },
       [](App& app) { return reference::CountRecords(app); }},
      {"search finding the last record", true, searchFor(lastName), search, referenceSearch},
      {"search finding nothing", true, searchFor("Nombre 0"), search, referenceSearch},
  };
}

std::string Outcome(const App& app, std::int64_t result) {
  std::string outcome = std::to_string(result) + " " + std::to_string(app.FirstRecord) + " " +
                        std::to_string(app.FirstField) + " " + std::to_string(app.ScanStart) + " " +
                        std::to_string(app.ScanRecord) + " " + std::to_string(app.ViewStart) + "\n";
  for (int r = 0; r < app.Cells.Rows(); ++r) {
    for (int c = 0; c < app.Cells.Columns(); ++c) outcome += app.Cells.At(c, r) + "\t";
    outcome += "\n";
  }
  return outcome;
}

}  // namespace tomo::testing
