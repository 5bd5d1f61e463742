// Grids compared cell by cell in tests.
#pragma once

#include "shell/app.h"

namespace tomo::testing {

// The cells of two grids, the program's and the reference's, compared one by one: a fatal
// failure at the first that differs.
void ExpectSameCells(const App& fast, const App& slow);

}  // namespace tomo::testing
