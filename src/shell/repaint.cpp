#include "shell/repaint.h"

#include "views/paint_grid.h"

namespace tomo {

namespace {

// The grid metrics are fixed; they are set again before every drawing of the grid.
void SetCellMetrics(App& app) {
  app.CellWidth = 103;
  app.CellHeight = 29;
  app.CellGap = 3;
  app.CellBackColor = kWhite;
}

// Counts cells of the given size and gap that fit in `space` pixels: the first one always,
// then one more while the next one's far edge stays inside.
std::int16_t CountCells(int space, int size, int gap, int margin) {
  int n = 0;
  long long edge = 0;
  while (space >= edge && n < 32767) {
    ++n;
    edge = static_cast<long long>(n + 1) * size + margin + static_cast<long long>(n) * gap + margin;
  }
  return static_cast<std::int16_t>(n);
}

void PaintWholeGrid(App& app) {
  const ScreenSize surface = SurfaceSizeFor(app.platform.ui.GetScreenSize());
  const GridSize grid = ComputeGridSize(app, surface.width, surface.height);
  app.LastColumn = static_cast<std::int16_t>(grid.columns - 1);
  app.LastRow = static_cast<std::int16_t>(grid.rows - 1);
  // A changed screen size changes the bounds; the cell table follows them.
  if (app.Cells.Columns() != grid.columns || app.Cells.Rows() != grid.rows) {
    CellGrid resized(app.LastColumn, app.LastRow);
    for (int r = 0; r < resized.Rows(); ++r) {
      for (int c = 0; c < resized.Columns(); ++c) resized.Set(c, r, app.Cells.At(c, r));
    }
    app.Cells = std::move(resized);
  }
  PaintGrid(app, app.OffscreenPicture, grid.columns, grid.rows, kGridMargin, kGridMargin, kSilver);
  app.platform.draw.SelectTarget(kGridSurface);
  app.platform.draw.CopyPicture(app.OffscreenPicture);
}

void ClearOffscreenPicture(App& app) {
  DrawingSurface& draw = app.platform.draw;
  draw.SelectTarget(app.OffscreenPicture);
  draw.SetForeground(kBlack);
  draw.SetBackground(kWhite);
  draw.Clear();
}

}  // namespace

GridSize ComputeGridSize(const App& app, int surfaceWidth, int surfaceHeight) {
  return GridSize{CountCells(surfaceWidth, app.CellWidth, app.CellGap, kGridMargin),
                  CountCells(surfaceHeight, app.CellHeight, app.CellGap, kGridMargin)};
}

ScreenSize SurfaceSizeFor(ScreenSize screen) {
  return ScreenSize{screen.width - 3, screen.height - 25};
}

void InitialiseWindow(App& app) {
  DrawingSurface& draw = app.platform.draw;
  app.SwatchColor = kRed;
  app.FirstField = 1;
  const ScreenSize surface = SurfaceSizeFor(app.platform.ui.GetScreenSize());
  draw.SelectTarget(kGridSurface);
  draw.ResizeSurface(surface.width, surface.height);
  app.OffscreenPicture = draw.CreatePicture(surface.width, surface.height);
  ClearOffscreenPicture(app);
  app.CurrentColumn = 3;
  app.CurrentRow = 13;
  SetCellMetrics(app);
  PaintWholeGrid(app);
  app.UseEnglish = 0;
}

void Repaint(App& app) {
  ClearOffscreenPicture(app);
  SetCellMetrics(app);
  PaintWholeGrid(app);
}

void RecreateCellGrid(App& app) {
  app.Cells = CellGrid(app.LastColumn, app.LastRow);
}

}  // namespace tomo
