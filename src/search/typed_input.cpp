#include "search/typed_input.h"

#include <charconv>

#include "shell/linked_database.h"
#include "shell/repaint.h"
#include "shell/texts.h"
#include "storage/fill_grid.h"
#include "storage/record_file.h"
#include "views/paint_grid.h"

namespace tomo {

namespace {

constexpr std::string_view kCaret = "|";

// The record number a record-number entry asks for: digits only, the empty text giving 0.
// A number too large for a record number counts as invalid, like any other bad entry.
std::optional<std::int64_t> RecordNumberOf(std::string_view text) {
  if (text.find_first_not_of(kRecordDigits) != std::string_view::npos) return std::nullopt;
  std::int64_t n = 0;
  if (text.empty()) return n;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return n;
}

void ShowGridFrom(App& app, std::int64_t first) {
  RecreateCellGrid(app);
  FillGrid(app, first);
}

void JumpToRecord(App& app, std::int64_t record) {
  Repaint(app);
  ShowGridFrom(app, record);
  app.FirstRecord = record;
  Repaint(app);
  app.EntryIsRecordNumber = 0;
  app.InputActive = 0;
}

void DiscardRecordEntry(App& app) {
  app.TypedText.clear();
  app.InputActive = 0;
  Repaint(app);
  app.EntryIsRecordNumber = 0;
}

std::int32_t SearchTypedText(App& app) {
  Repaint(app);
  app.InputActive = 0;  // the input is closed before the lookup starts
  const std::int32_t found = FindRecordByValue(app);
  ShowGridFrom(app, app.FirstRecord);
  Repaint(app);
  return found;
}

}  // namespace

void StartTypedInput(App& app, std::int32_t entryIsRecordNumber) {
  app.InputActive = 1;
  app.TypedInputOpen = 1;
  app.Cells.Set(app.CurrentColumn, app.CurrentRow, "");
  app.TypedText.clear();
  Repaint(app);
  DrawEntryEcho(app);
  app.EntryIsRecordNumber = entryIsRecordNumber;
}

void AppendTyped(App& app, std::int32_t code) {
  Repaint(app);
  app.TypedText.push_back(static_cast<char>(static_cast<unsigned char>(code)));
  DrawEntryEcho(app);
}

void DeleteLastTyped(App& app) {
  Repaint(app);
  if (!app.TypedText.empty()) app.TypedText.pop_back();
  DrawEntryEcho(app);
}

void DrawEntryEcho(App& app) {
  DrawingSurface& draw = app.platform.draw;
  draw.SelectTarget(app.OffscreenPicture);
  draw.SetFont(CellFont());
  draw.SetPosition(app.CurrentColumn * (app.CellWidth + app.CellGap) + kCellTextDx,
                   app.CurrentRow * (app.CellHeight + app.CellGap) + kCellTextDy);
  draw.SetForeground(kBlack);
  draw.SetBackground(std::nullopt);
  const std::string_view typed = app.TypedText;
  const std::size_t shown = std::min(typed.size(), kCellTextLength);
  draw.Print(std::string(typed.substr(typed.size() - shown)) + std::string(kCaret), false);
  draw.SelectTarget(kGridSurface);
  draw.CopyPicture(app.OffscreenPicture);
  draw.Redraw();
}

std::int32_t FinishEntry(App& app) {
  app.TypedInputOpen = 0;
  if (app.EntryIsRecordNumber == 1) {
    if (const auto record = RecordNumberOf(app.TypedText)) {
      JumpToRecord(app, *record);
    } else {
      DiscardRecordEntry(app);
    }
    return 1;
  }
  return SearchTypedText(app);
}

void SayDataNotFound(App& app) {
  app.platform.ui.ShowMessage(Say(app, {"Data NOT found ...", "Dato NO encontrado ..."}),
                              kMessageTitle);
}

}  // namespace tomo
