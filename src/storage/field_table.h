// The field definition file: 12042-byte records read into the field table.
#pragma once

#include <cstdint>

#include "shell/app.h"

namespace tomo {

inline constexpr std::int64_t kFieldRecordSize = 12042;

// Re-reads the field definition file into app.Fields and returns the number of fields.
std::int64_t LoadFieldTable(App& app);

}  // namespace tomo
