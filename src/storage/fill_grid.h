// Filling the cell table from a first record, with values rendered by their field types.
#pragma once

#include <cstdint>

#include "shell/app.h"

namespace tomo {

// Fills app.Cells (already created empty) with field names, record numbers from `first` on
// and the rendered values of the visible fields, and sets ViewStart and the read positions.
// Reads the record file once at most, and shows what it would show if no operation ran in
// between, also when a message handled during its scan runs one.
void FillGrid(App& app, std::int64_t first);

}  // namespace tomo
