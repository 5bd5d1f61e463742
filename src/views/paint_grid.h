// The grid painter: frames, fills, colour marks and texts of every visible cell.
#pragma once

#include <cstdint>

#include "shell/app.h"

namespace tomo {

inline constexpr int kCellPenWidth = 2;
inline constexpr int kCellTextDx = 3;
inline constexpr int kCellTextDy = 8;
inline constexpr std::size_t kCellTextLength = 13;

// The font of cell texts and of the typed-input echo.
Font CellFont();

struct CellBox {
  int left, top, right, bottom;
};
CellBox CellBoxAt(const App& app, int column, int row, int leftMargin, int topMargin);

// The colour a data cell in grid row `row` showing `record` is framed in, when it is marked.
std::optional<Color> MarkColorFor(const App& app, std::int64_t record, int row);

void PaintGrid(App& app, PictureId picture, std::int16_t columns, std::int16_t rows,
               std::int32_t leftMargin, std::int32_t topMargin, Color outlineColor);

}  // namespace tomo
