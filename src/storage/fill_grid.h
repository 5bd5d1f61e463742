// Filling the grid from a first record: which value each shown cell holds, and the viewer's
// cell table with the values rendered by their field types.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "storage/database.h"
#include "storage/field_def.h"

namespace tomo {

// What a fill shows: `rows` field rows from field `firstField` on, and `columns` record
// columns from record `first` on.
struct FillWindow {
  std::int64_t firstField = 1;
  int rows = 0;
  std::int64_t first = 1;
  std::int64_t columns = 0;
};

// One cell of a fill: grid row `row` (from 1) shows `field`, record column `column` (from 1)
// shows record `record`; `stored` is the value as stored, none when it reads "No datos".
struct ShownValue {
  int row;
  std::int64_t column;
  std::int64_t record;
  const FieldDef& field;
  std::optional<std::string_view> stored;
};

// Reads the values of the window's cells, field row by field row and record by record, as
// the reads from ScanStart that a fill makes (each row from ViewStart) would find them, and
// hands each to `shown`. Sets ViewStart and the read positions. Reads the record file once
// at most, and finds what it would find if no operation ran in between, also when a message
// handled during its scan runs one.
void FillValues(const Database& database, const std::vector<FieldDef>& fields,
                const FillWindow& window, const std::function<void(const ShownValue&)>& shown);

}  // namespace tomo
