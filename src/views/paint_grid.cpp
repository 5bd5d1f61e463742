#include "views/paint_grid.h"

namespace tomo {

Font CellFont() {
  return Font{"New Courier", 9.f, 0};
}

CellBox CellBoxAt(const App& app, int column, int row, int leftMargin, int topMargin) {
  CellBox box{};
  box.left = column * app.CellWidth + column * app.CellGap + 2 * leftMargin;
  box.right = box.left + app.CellWidth;
  box.top = row * app.CellHeight + row * app.CellGap + 2 * topMargin;
  box.bottom = box.top + app.CellHeight;
  return box;
}

std::optional<Color> MarkColorFor(const App& app, std::int64_t record, int row) {
  if (app.DatabaseLinked != 1) return std::nullopt;
  const auto marked = app.RecordColors.find(record);
  if (marked == app.RecordColors.end()) return std::nullopt;
  const ColorMark& mark = marked->second;
  if (mark.MarkedRecord != record) return std::nullopt;
  const bool cellMark = mark.CellMarked == 1 && mark.RecordMarked == 0 && mark.MarkRow == row;
  const bool recordMark = mark.RecordMarked == 1 && mark.CellMarked == 0;
  if (cellMark || recordMark) return mark.MarkColor;
  return std::nullopt;
}

void PaintGrid(App& app, PictureId picture, std::int16_t columns, std::int16_t rows,
               std::int32_t leftMargin, std::int32_t topMargin, Color outlineColor) {
  DrawingSurface& draw = app.platform.draw;
  draw.SelectTarget(picture);
  draw.SetPenWidth(kCellPenWidth);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      const CellBox box = CellBoxAt(app, c, r, leftMargin, topMargin);
      if (r == 0 || c == 0) {
        draw.Box(box.left, box.top, box.right, box.bottom, 0, kBlack, kSilver);
      } else {
        // Record numbers wrap rather than overflow at the top of the 64-bit range.
        const auto record = static_cast<std::int64_t>(static_cast<std::uint64_t>(app.FirstRecord) +
                                                      static_cast<std::uint64_t>(c - 1));
        const Color outline = MarkColorFor(app, record, r).value_or(outlineColor);
        draw.Box(box.left, box.top, box.right, box.bottom, 0, outline, app.CellBackColor);
      }
      if (app.DatabaseLinked == 1) {
        draw.SetFont(CellFont());
        draw.SetForeground(kBlack);
        draw.SetBackground(std::nullopt);
        draw.SetPosition(box.left + kCellTextDx, box.top + kCellTextDy);
        draw.Print(app.Cells.At(c, r).substr(0, kCellTextLength), false);
      }
    }
  }
}

}  // namespace tomo
