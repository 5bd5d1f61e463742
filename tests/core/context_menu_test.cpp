#include "shell/context_menu.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "commands/run_command.h"
#include "fakes/fake_platform.h"
#include "shell/surface_handler.h"

namespace tomo::testing {
namespace {

std::vector<std::string> Texts(const std::vector<MenuItem>& items) {
  std::vector<std::string> out;
  for (const auto& item : items) out.push_back(item.text);
  return out;
}

std::vector<std::int32_t> Commands(const std::vector<MenuItem>& items) {
  std::vector<std::int32_t> out;
  for (const auto& item : items) out.push_back(item.command);
  return out;
}

TEST(ContextMenu, SpanishAtStartEnglishOnRequest) {
  TestApp t;
  auto menu = BuildContextMenu(t.app);
  EXPECT_EQ(Texts(menu),
            (std::vector<std::string>{"Actualizar", "Primer registro", "-", "Vincular Base Datos",
                                      "Escrolear Datos ", "-", "Ir a Registro ..", "-", "Buscar",
                                      "-", "Copiar", "-", "Colores", "-", "Info Base Datos",
                                      "Autor", "-", "English", "Exportar ..."}));
  EXPECT_EQ(Commands(menu), (std::vector<std::int32_t>{11, 9, 0, 1, 2, 0, 3, 0, 10, 0, 4, 0, 0, 0,
                                                       7, 8, 0, 12, 26}));
  EXPECT_EQ(Texts(menu[12].submenu), (std::vector<std::string>{"Celda", "Registro", "Elegir Color",
                                                               "Resetear", "-", "Deshacer"}));
  EXPECT_EQ(Commands(menu[12].submenu), (std::vector<std::int32_t>{21, 22, 23, 24, 0, 25}));

  t.app.UseEnglish = 1;
  menu = BuildContextMenu(t.app);
  EXPECT_EQ(Texts(menu), (std::vector<std::string>{
                             "Update", "First record", "-", "Link to database", "Scroll data", "-",
                             "Go to database record ..", "-", "Search", "-", "Copy", "-", "Colors",
                             "-", "Info DataBase", "Author", "-", "Espa\xF1ol", "Export ..."}));
  EXPECT_EQ(Texts(menu[12].submenu),
            (std::vector<std::string>{"Cell", "Record", "Choose color", "Reset", "-", "Undo"}));
}

TEST(ContextMenu, SwatchAndUndoState) {
  TestApp t;
  auto menu = BuildContextMenu(t.app);
  const auto& colors = menu[12].submenu;
  for (std::size_t i = 0; i < colors.size(); ++i) {
    EXPECT_EQ(colors[i].showsSwatch, i == 2);
    EXPECT_EQ(colors[i].disabled, i == 5);  // nothing to undo yet
  }
  EXPECT_TRUE(menu[18].disabled);  // no database to export
  t.app.LastColoredRecord = 7;
  EXPECT_FALSE(BuildContextMenu(t.app)[12].submenu[5].disabled);
}

TEST(ContextMenu, RightClickShowsTheMenuWithAFreshSwatchFileThatIsGoneAfterwards) {
  TestApp t;
  t.ui().menuAnswers.push_back(0);
  SurfaceHandler(t.app, kRightButtonDown, 0, (40 << 16) | 10);
  ASSERT_EQ(t.ui().menus.size(), 1u);
  ASSERT_EQ(t.ui().swatchFiles.size(), 1u);
  const auto& swatch = t.ui().swatchFiles[0];
  ASSERT_EQ(swatch.size(), 822u);
  // The middle pixel is the swatch colour, pure red at start (bytes blue, green, red).
  const std::size_t middle = 54 + 8 * 48 + 8 * 3;
  EXPECT_EQ(swatch[middle], 0x00);
  EXPECT_EQ(swatch[middle + 1], 0x00);
  EXPECT_EQ(swatch[middle + 2], 0xFF);
  EXPECT_EQ(t.ui().menuPositions[0].x, 10);
  EXPECT_EQ(t.ui().menuPositions[0].y, 40);
  // The dismissed menu waits 20 ms and ends the menu state.
  EXPECT_EQ(t.ui().slept, std::vector<int>{20});
  EXPECT_EQ(t.app.InputActive, 0);
  EXPECT_EQ(t.app.CurrentColumn, 0);
  EXPECT_EQ(t.app.CurrentRow, 1);
}

TEST(ContextMenu, LanguageSwitchRedrawsNothing) {
  TestApp t;
  const int copies = t.surface().copies;
  std::int32_t command = kSwitchLanguage;
  t.app.InputActive = 1;
  RunCommand(t.app, command);
  EXPECT_EQ(t.app.UseEnglish, 1);
  EXPECT_EQ(t.app.InputActive, 0);
  EXPECT_EQ(BuildContextMenu(t.app)[17].text, "Espa\xF1ol");
  RunCommand(t.app, command);
  EXPECT_EQ(t.app.UseEnglish, 0);
  EXPECT_EQ(t.surface().copies, copies);
}

TEST(ContextMenu, UnknownCommandsOnlyEndTheMenuState) {
  TestApp t;
  for (std::int32_t command : {5, 6, 13, 20, 27, -1}) {
    t.app.InputActive = 1;
    RunCommand(t.app, command);
    EXPECT_EQ(t.app.InputActive, 0);
  }
  EXPECT_TRUE(t.ui().slept.empty());
}

}  // namespace
}  // namespace tomo::testing
