#include "shell/context_menu.h"

#include "commands/colors.h"
#include "commands/run_command.h"
#include "shell/texts.h"

namespace tomo {

namespace {

MenuItem Item(const App& app, Bilingual text, std::int32_t command) {
  MenuItem item;
  item.text = std::string(Say(app, text));
  item.command = command;
  return item;
}

MenuItem Separator() {
  return MenuItem{"-", 0, false, false, {}};
}

std::vector<MenuItem> ColorsSubmenu(const App& app) {
  MenuItem choose = Item(app, {"Choose color", "Elegir Color"}, kChooseColor);
  choose.showsSwatch = true;
  MenuItem undo = Item(app, {"Undo", "Deshacer"}, kUndoColor);
  undo.disabled = app.LastColoredRecord == 0;
  return {Item(app, {"Cell", "Celda"}, kMarkCell),
          Item(app, {"Record", "Registro"}, kMarkRecord),
          choose,
          Item(app, {"Reset", "Resetear"}, kResetColors),
          Separator(),
          undo};
}

}  // namespace

std::vector<MenuItem> BuildContextMenu(const App& app) {
  MenuItem exporting = Item(app, {"Export ...", "Exportar ..."}, kExport);
  exporting.disabled = app.DatabaseLinked != 1;
  MenuItem colors = Item(app, {"Colors", "Colores"}, 0);
  colors.submenu = ColorsSubmenu(app);
  // The language item always names the other language.
  return {Item(app, {"Update", "Actualizar"}, kUpdate),
          Item(app, {"First record", "Primer registro"}, kFirstRecordCommand),
          Separator(),
          Item(app, {"Link to database", "Vincular Base Datos"}, kLinkDatabase),
          Item(app, {"Scroll data", "Escrolear Datos "}, kScrollData),
          Separator(),
          Item(app, {"Go to database record ..", "Ir a Registro .."}, kGoToRecord),
          Separator(),
          Item(app, {"Search", "Buscar"}, kSearch),
          Separator(),
          Item(app, {"Copy", "Copiar"}, kCopy),
          Separator(),
          colors,
          Separator(),
          Item(app, {"Info DataBase", "Info Base Datos"}, kInfoDatabase),
          Item(app, {"Author", "Autor"}, kAuthor),
          Separator(),
          Item(app, {"Espa\xF1ol", "English"}, kSwitchLanguage),
          exporting};
}

std::int32_t ShowContextMenu(App& app, int x, int y) {
  const std::string swatch = MakeSwatch(app, app.SwatchColor);
  app.platform.ui.PrepareMenu(BuildContextMenu(app), swatch);
  DeleteSwatch(app, swatch);
  return app.platform.ui.TrackMenu(x, y);
}

}  // namespace tomo
