#include "commands/run_command.h"

#include "commands/colors.h"
#include "commands/export_database.h"
#include "commands/report.h"
#include "commands/view_commands.h"
#include "search/typed_input.h"
#include "shell/linked_database.h"
#include "shell/texts.h"
#include "storage/field_table.h"

namespace tomo {

namespace {

void SwitchLanguage(App& app) {
  app.UseEnglish = 1 - app.UseEnglish;
  app.InputActive = 0;
}

void Dismissed(App& app) {
  app.platform.ui.Sleep(20);
  app.InputActive = 0;
}

void GoToRecord(App& app) {
  if (app.DatabaseLinked == 1 && app.ReportShown == 0) {
    StartTypedInput(app, 1);
  } else {
    app.InputActive = 0;
  }
}

// Search works on the name cell of a searchable field.
void Search(App& app) {
  const std::int64_t field = static_cast<std::int64_t>(app.FirstField) + app.CurrentRow - 1;
  if (app.DatabaseLinked == 1 && app.ReportShown == 0 && app.CurrentColumn == 0 &&
      app.CurrentRow >= 1 && field <= LoadFieldTable(app) &&
      app.Fields[static_cast<std::size_t>(field - 1)].SearchFlag == 1) {
    StartTypedInput(app, 0);
  } else {
    app.InputActive = 0;
  }
}

// Commands that end the menu state themselves only by finishing.
template <typename Command>
void ThenEndMenu(App& app, Command command) {
  command(app);
  app.InputActive = 0;
}

}  // namespace

TypeNameTable TypeNames(const App& app) {
  if (app.UseEnglish != 0) return kEnglishTypeNames;
  return {"FONETICA",
          "DECIMAL",
          "ENTERO",
          "CADENA",
          "LOGICO",
          "MEMO",
          "HORA ACTUAL",
          "FECHA ACTUAL",
          "FECHA DE ANTIG\xDC"
          "EDAD",
          "ARREGLO"};
}

void RunCommand(App& app, std::int32_t& command) {
  switch (command) {
    case kDismissed:
      return Dismissed(app);
    case kLinkDatabase:
      return ThenEndMenu(app, LinkDatabase);
    case kScrollData:
      return ThenEndMenu(app, ScrollData);
    case kGoToRecord:
      return GoToRecord(app);
    case kCopy:
      return ThenEndMenu(app, CopyCell);
    case kInfoDatabase:
      return ThenEndMenu(app, ShowDatabaseReport);
    case kAuthor:
      return ThenEndMenu(app, ShowAuthorPage);
    case kFirstRecordCommand:
      return ThenEndMenu(app, ShowFirstRecord);
    case kSearch:
      return Search(app);
    case kUpdate:
      return ThenEndMenu(app, Update);
    case kSwitchLanguage:
      return SwitchLanguage(app);
    case kMarkCell:
      return ThenEndMenu(app, MarkCell);
    case kMarkRecord:
      return ThenEndMenu(app, MarkRecord);
    case kChooseColor:
      return ThenEndMenu(app, ChooseColorCommand);
    case kResetColors:
      return ThenEndMenu(app, ResetColors);
    case kUndoColor:
      return ThenEndMenu(app, UndoColor);
    case kExport:
      return ThenEndMenu(app, ExportDatabase);
    default:
      app.InputActive = 0;
  }
}

}  // namespace tomo
