#include "shell/surface_handler.h"

#include <string>

#include "commands/run_command.h"
#include "search/typed_input.h"
#include "shell/context_menu.h"
#include "shell/repaint.h"
#include "storage/field_table.h"
#include "storage/fill_grid.h"
#include "storage/record_file.h"

namespace tomo {

namespace {

constexpr int kEnter = 13;
constexpr int kBackspace = 8;
constexpr std::uint32_t kLeftArrow = 0x25;
constexpr std::uint32_t kUpArrow = 0x26;
constexpr std::uint32_t kRightArrow = 0x27;
constexpr std::uint32_t kDownArrow = 0x28;

struct Point {
  int x, y;
};

// The pointer position of a mouse message: unsigned pixels in the low and high words.
Point PointOf(std::int64_t lParam) {
  const auto bits = static_cast<std::uint64_t>(lParam);
  return Point{static_cast<int>(bits & 0xFFFF), static_cast<int>((bits >> 16) & 0xFFFF)};
}

// Makes the cell under the point current; true when it lies inside the grid.
bool SetCurrentCell(App& app, Point p) {
  app.CurrentColumn = static_cast<std::int16_t>(p.x / (app.CellWidth + app.CellGap));
  app.CurrentRow = static_cast<std::int16_t>(p.y / (app.CellHeight + app.CellGap));
  return app.CurrentColumn >= 0 && app.CurrentColumn <= app.LastColumn && app.CurrentRow >= 0 &&
         app.CurrentRow <= app.LastRow;
}

void Handle(App& app, const HeldMessage& message);

// The messages that Handle acts on; only these are held back.
bool Replayable(std::uint32_t message) {
  return message == kKeyUp || message == kKeyDown || message == kPointerMoved ||
         message == kRightButtonDown;
}

// Ends the typed input. Input that arrives while its scan and fill read the record file is
// held back and handled once they are done, so that it changes neither the record found nor
// the grid shown. The not-found message comes after that, with nothing held: while it is up
// the pointer and the arrows work as in browsing.
void FinishEntryHoldingInput(App& app) {
  app.HoldingInput = 1;
  const std::int32_t found = FinishEntry(app);
  app.HoldingInput = 0;
  std::vector<HeldMessage> held;
  held.swap(app.HeldInput);
  for (const HeldMessage& message : held) Handle(app, message);
  if (found == 0) SayDataNotFound(app);
}

// Typed keys reach the typed input only while an entry is open: keys released while a menu
// command runs, or over the grid beside its message box, are dropped.
void KeyReleased(App& app, int k) {
  const bool typing = app.DatabaseLinked == 1 && app.InputActive == 1 && app.TypedInputOpen == 1;
  if (k == kEnter) {
    if (typing) FinishEntryHoldingInput(app);
  } else if (k == kBackspace) {
    if (typing && !app.TypedText.empty()) DeleteLastTyped(app);
  } else if (k >= 9 && k <= 255) {
    if (typing) AppendTyped(app, k);
  }
}

// The common tail of every arrow move: the grid is refilled and repainted while further
// moves and right-clicks are refused.
template <typename Change>
void Move(App& app, Change change) {
  app.NavigationBusy = 1;
  change();
  RecreateCellGrid(app);
  FillGrid(app, app.FirstRecord);
  Repaint(app);
  app.InputActive = 0;
  app.NavigationBusy = 0;
}

void KeyPressed(App& app, std::uint64_t wParam) {
  const auto key = static_cast<std::uint32_t>(wParam & 0xFFFF);
  // Each condition is tested left to right, so the files are read only when the cheaper
  // tests before them pass.
  if (key == kLeftArrow && app.InputActive == 0 && app.FirstRecord > 1 && app.NavigationBusy == 0) {
    Move(app, [&] { --app.FirstRecord; });
  }
  if (key == kRightArrow && app.InputActive == 0 && app.FirstRecord < CountRecords(app) &&
      app.NavigationBusy == 0) {
    Move(app, [&] { ++app.FirstRecord; });
  }
  if (key == kDownArrow && app.InputActive == 0 && app.DatabaseLinked == 1 &&
      LoadFieldTable(app) > app.LastRow && app.FirstField < LoadFieldTable(app) - app.LastRow + 1 &&
      app.NavigationBusy == 0) {
    Move(app, [&] { ++app.FirstField; });
  }
  if (key == kUpArrow && app.InputActive == 0 && app.DatabaseLinked == 1 && app.FirstField > 1 &&
      app.NavigationBusy == 0) {
    Move(app, [&] { --app.FirstField; });
  }
}

void PointerMoved(App& app, std::int64_t lParam) {
  if (app.InputActive != 0) return;
  if (SetCurrentCell(app, PointOf(lParam))) {
    app.platform.ui.SetCaption(std::to_string(app.CurrentColumn) + "x" +
                               std::to_string(app.CurrentRow));
  }
}

void RightButtonPressed(App& app, std::int64_t lParam) {
  if (app.InputActive != 0 || app.NavigationBusy != 0) return;
  const Point p = PointOf(lParam);
  if (!SetCurrentCell(app, p)) return;
  app.InputActive = 1;
  std::int32_t command = ShowContextMenu(app, p.x, p.y);
  RunCommand(app, command);
}

void Handle(App& app, const HeldMessage& m) {
  switch (m.message) {
    case kKeyUp:
      KeyReleased(app, m.character);
      break;
    case kKeyDown:
      KeyPressed(app, m.wParam);
      break;
    case kPointerMoved:
      PointerMoved(app, m.lParam);
      break;
    case kRightButtonDown:
      RightButtonPressed(app, m.lParam);
      break;
    default:  // left button and wheel: the surface's own handler does all there is
      break;
  }
}

}  // namespace

void SurfaceHandler(App& app, std::uint32_t message, std::uint64_t wParam, std::int64_t lParam) {
  app.platform.draw.SelectTarget(kGridSurface);
  // A released key's character is read now: the slot holds only the latest one.
  const int character = message == kKeyUp ? app.platform.ui.TakePendingCharacter() : 0;
  const HeldMessage m{message, wParam, lParam, character};
  if (app.HoldingInput == 1) {
    if (Replayable(message)) app.HeldInput.push_back(m);
  } else {
    Handle(app, m);
  }
}

}  // namespace tomo
