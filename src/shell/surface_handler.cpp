#include "shell/surface_handler.h"

#include <algorithm>
#include <limits>
#include <string>

#include "commands/run_command.h"
#include "search/typed_input.h"
#include "shell/context_menu.h"
#include "shell/linked_database.h"
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
constexpr std::uint32_t kPageUp = 0x21;
constexpr std::uint32_t kPageDown = 0x22;
constexpr std::uint32_t kEnd = 0x23;
constexpr std::uint32_t kHome = 0x24;
constexpr std::uint32_t kEscape = 0x1B;
constexpr std::uint64_t kShiftHeld = 0x0004;  // in the low word of a wheel message's wParam
constexpr std::int32_t kWheelNotch = 120;

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

// Moves FirstRecord `by` records on (back when negative) where → (or ←) would move, stopping
// at the last record (or record 1). Each condition is tested left to right, so the files are
// read only when the cheaper tests before them pass.
void MoveRecords(App& app, std::int64_t by) {
  if (by < 0 && app.InputActive == 0 && app.FirstRecord > 1 && app.NavigationBusy == 0) {
    Move(app, [&] { app.FirstRecord -= std::min(app.FirstRecord - 1, -by); });
  }
  if (by > 0 && app.InputActive == 0) {
    const std::int64_t last = CountRecords(app);
    if (app.FirstRecord < last && app.NavigationBusy == 0) {
      Move(app, [&] {
        app.FirstRecord += static_cast<std::int64_t>(
            std::min(static_cast<std::uint64_t>(last) - static_cast<std::uint64_t>(app.FirstRecord),
                     static_cast<std::uint64_t>(by)));
      });
    }
  }
}

// Moves FirstField `by` fields on (back when negative) where ↓ (or ↑) would move, stopping
// when the last field reaches the last row (or at field 1).
void MoveFields(App& app, std::int64_t by) {
  if (by > 0 && app.InputActive == 0 && app.DatabaseLinked == 1 &&
      LoadFieldTable(app) > app.LastRow) {
    const std::int64_t lastFirst = LoadFieldTable(app) - app.LastRow + 1;
    if (app.FirstField < lastFirst && app.NavigationBusy == 0) {
      Move(app, [&] {
        app.FirstField = static_cast<std::int32_t>(std::min(app.FirstField + by, lastFirst));
      });
    }
  }
  if (by < 0 && app.InputActive == 0 && app.DatabaseLinked == 1 && app.FirstField > 1 &&
      app.NavigationBusy == 0) {
    Move(app, [&] {
      app.FirstField = static_cast<std::int32_t>(std::max<std::int64_t>(app.FirstField + by, 1));
    });
  }
}

void KeyPressed(App& app, std::uint64_t wParam) {
  const auto key = static_cast<std::uint32_t>(wParam & 0xFFFF);
  const std::int64_t page = std::max<std::int64_t>(app.LastColumn, 1);
  constexpr std::int64_t kAll = std::numeric_limits<std::int64_t>::max();
  switch (key) {
    case kLeftArrow:
      return MoveRecords(app, -1);
    case kRightArrow:
      return MoveRecords(app, 1);
    case kDownArrow:
      return MoveFields(app, 1);
    case kUpArrow:
      return MoveFields(app, -1);
    case kPageUp:
      return MoveRecords(app, -page);
    case kPageDown:
      return MoveRecords(app, page);
    case kHome:
      return MoveRecords(app, -kAll);
    case kEnd:
      return MoveRecords(app, kAll);
    case kEscape:
      if (app.Exporting == 1) app.ExportCancelled = 1;
      return;
    default:
      return;
  }
}

// A wheel turned down shows the next fields; with Shift held it shows the next records, as the
// horizontal wheel tilted right does. Parts of a notch, from finer wheels, add up.
void WheelTurned(App& app, std::uint64_t wParam, bool horizontal) {
  const bool records = horizontal || (wParam & kShiftHeld) != 0;
  std::int32_t& rest = app.WheelRest[records ? 1 : 0];
  rest += static_cast<std::int16_t>(static_cast<std::uint16_t>(wParam >> 16));
  const std::int32_t notches = rest / kWheelNotch;
  rest -= notches * kWheelNotch;
  const std::int64_t by = horizontal ? notches : -notches;
  if (by != 0) records ? MoveRecords(app, by) : MoveFields(app, by);
}

void PointerMoved(App& app, std::int64_t lParam) {
  if (app.InputActive != 0) return;
  if (SetCurrentCell(app, PointOf(lParam))) {
    app.platform.ui.SetCaption(std::to_string(app.CurrentColumn) + "x" +
                               std::to_string(app.CurrentRow));
  }
}

void RightButtonPressed(App& app, std::int64_t lParam) {
  if (Busy(app)) return;
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
    case kWheel:
    case kHorizontalWheel:
      WheelTurned(app, m.wParam, m.message == kHorizontalWheel);
      break;
    default:  // left button: the surface's own handler does all there is
      break;
  }
}

}  // namespace

bool Busy(const App& app) {
  return app.InputActive != 0 || app.NavigationBusy != 0 || app.HoldingInput != 0;
}

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
