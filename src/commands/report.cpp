#include "commands/report.h"

#include <string>

#include "commands/run_command.h"
#include "shell/linked_database.h"
#include "shell/maker.h"
#include "shell/texts.h"
#include "storage/field_table.h"
#include "storage/record_file.h"

namespace tomo {

namespace {

constexpr float kReportPoints = 11.f;
constexpr float kAuthorPoints = 19.f;
constexpr float kAddressPoints = 39.f;

Font ReportFont(float points, int style = 0) {
  return Font{"New Courier", points, style};
}

// Lower case of a text in the ANSI code page, accented capitals included.
std::string LowerCase(std::string_view text) {
  std::string out(text);
  for (char& ch : out) {
    const auto c = static_cast<unsigned char>(ch);
    const bool ascii = c >= 'A' && c <= 'Z';
    const bool accented = c >= 0xC0 && c <= 0xDE && c != 0xD7;
    if (ascii || accented) ch = static_cast<char>(c + 32);
  }
  return out;
}

// Starts a page: the off-screen picture cleared to white, black text over it from (1, 1).
void StartPage(App& app, float points) {
  DrawingSurface& draw = app.platform.draw;
  draw.SelectTarget(app.OffscreenPicture);
  draw.SetForeground(kBlack);
  draw.SetBackground(kWhite);
  draw.Clear();
  draw.SetFont(ReportFont(points));
  draw.SetPosition(1, 1);
  draw.SetBackground(std::nullopt);
}

void ShowPage(App& app) {
  app.platform.draw.SelectTarget(kGridSurface);
  app.platform.draw.CopyPicture(app.OffscreenPicture);
  app.ReportShown = 1;
}

}  // namespace

void ShowDatabaseReport(App& app) {
  if (app.DatabaseLinked != 1) return;
  DrawingSurface& draw = app.platform.draw;
  StartPage(app, kReportPoints);
  // The folder's name is UTF-8 and may hold characters outside the ANSI code page; the
  // label before it is plain ASCII, so the whole line is UTF-8.
  draw.PrintUtf8(std::string(Say(app, {"Database name : ", "Base de Datos : "})) +
                     DatabaseName(app.DatabaseFolder),
                 true);
  draw.Print(std::string(Say(app, {"Total number of records : ", "N\xFAmero de Registros : "})) +
                 std::to_string(CountRecords(app)),
             true);
  draw.Print(std::string(Say(app, {"Total number of fields : ", "N\xFAmero de campos : "})) +
                 std::to_string(LoadFieldTable(app)),
             true);
  draw.Print(Say(app, {"Field names : ", "Nombre de los campos : "}), true);
  draw.Print("", true);
  const TypeNameTable types = TypeNames(app);
  const std::int64_t fields = LoadFieldTable(app);
  for (std::int64_t k = 1; k <= fields; ++k) {
    const FieldDef& field = app.Fields[static_cast<std::size_t>(k - 1)];
    draw.SetFont(ReportFont(kReportPoints, kFontBold));
    draw.Print(field.Name, false);
    draw.SetFont(ReportFont(kReportPoints));
    // A type code without a name shows its number.
    const std::string type = field.Type >= 0 && field.Type <= 9
                                 ? std::string(types[static_cast<std::size_t>(field.Type)])
                                 : std::to_string(field.Type);
    draw.Print(std::string(Say(app, {" as ", " tipo "})) + LowerCase(type), true);
  }
  ShowPage(app);
}

void ShowAuthorPage(App& app) {
  if (app.DatabaseLinked != 1) return;
  DrawingSurface& draw = app.platform.draw;
  StartPage(app, kAuthorPoints);
  draw.Print(Say(app, {"Program Produced by :", "Programa Realizado por :"}), true);
  draw.SetFont(ReportFont(kAddressPoints));
  draw.SetForeground(kRed);
  draw.Print(kMakerAddress, true);
  ShowPage(app);
}

void CopyCell(App& app) {
  if (app.DatabaseLinked != 1 || app.ReportShown != 0) return;
  app.platform.ui.SetClipboardText(app.Cells.At(app.CurrentColumn, app.CurrentRow));
}

}  // namespace tomo
