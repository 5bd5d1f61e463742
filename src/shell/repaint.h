// The window's start-up drawing and Repaint, the one way to bring the screen up to date.
#pragma once

#include <cstdint>

#include "shell/app.h"

namespace tomo {

inline constexpr int kGridMargin = 1;

struct GridSize {
  std::int16_t columns = 0;  // LastColumn + 1
  std::int16_t rows = 0;     // LastRow + 1
};

// The columns whose right edge and the rows whose bottom edge fit in a surface of
// surfaceWidth x surfaceHeight pixels; column 0 and row 0 always count.
GridSize ComputeGridSize(const App& app, int surfaceWidth, int surfaceHeight);
// The surface's size for a screen: (width - 3) x (height - 25).
ScreenSize SurfaceSizeFor(ScreenSize screen);
// The initialisation step: start values, surface size, the off-screen picture and the
// empty grid on screen.
void InitialiseWindow(App& app);
// Recomputes the grid size from the screen, paints the whole grid into the off-screen
// picture and copies it onto the surface, which stays the drawing target.
void Repaint(App& app);
// Re-creates the cell table empty with the bounds of the last repaint.
void RecreateCellGrid(App& app);

}  // namespace tomo
