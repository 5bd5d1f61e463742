// A whole export, as tomodb and the viewer make it: the database's records read for export,
// their values as text in UTF-8, written in a format to an output file.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "export/export_reading.h"
#include "export/format.h"
#include "export/output_file.h"
#include "export/utf8_text.h"
#include "storage/database.h"
#include "storage/field_def.h"

namespace tomo {

struct ExportChoices {
  Format format = Format::kCsv;
  bool bom = false;    // CSV only
  bool raw = false;    // the values as stored, not rendered by their field's type
  bool typed = false;  // values in their field's type where the shown text reads as one
  ExportReading reading;
  // Hears of each field named like an earlier one, and the column name or key it gets.
  std::function<void(std::size_t field, const std::string& name)> renamed;
};

// Throws Failure when the format cannot hold that many fields (a SQLite table's columns).
void RefuseTooManyColumns(Format format, std::size_t fields);

// Writes every record of the database to `out` (not committed: the caller does that once
// the outcome is complete). Throws Failure on a write error.
ExportOutcome ExportRecords(const Database& database, const std::vector<FieldDef>& fields,
                            const Utf8Text& text, OutputFile& out, const ExportChoices& choices);

}  // namespace tomo
