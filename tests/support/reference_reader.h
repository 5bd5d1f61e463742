// The record file read the simple way, entry by entry, straight from the rules: the oracle
// that the block-reading, one-pass operations are compared with. Each entry is one read of
// 54 bytes, and every ReadValue scans from ScanStart on. The reference decodes the entries,
// loads the field definitions and renders the values itself (reference_files.h,
// reference_values.h); it shares only the platform's files and the program's state.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "shell/app.h"

namespace tomo::testing::reference {

std::int64_t CountRecords(App& app);
std::string ReadValue(App& app, std::string_view fieldName, std::int64_t record);
std::int64_t FindValueStart(App& app, std::string_view fieldName, std::int64_t record);
std::int32_t FindRecordByValue(App& app);
void FillGrid(App& app, std::int64_t first);

}  // namespace tomo::testing::reference
