// The export's output formats. A writer takes the records in order, a batch at a time, their
// values already shown in UTF-8 (none for an absent value), and makes the whole output by
// Finish.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "export/output_file.h"
#include "storage/field_def.h"
#include "storage/record_batch.h"

namespace tomo {

class ValueText;

class RecordWriter {
 public:
  virtual ~RecordWriter() = default;
  // Takes the batch's records; their texts go once it returns.
  virtual void Batch(const RecordBatch& batch) = 0;
  virtual void Finish() = 0;
};

// The field table as the formats describe it: names, options and type in UTF-8.
struct Column {
  std::string name;
  std::string options;
  const FieldDef* field;
};

// With --typed, each field's type code: its values are written in their types
// (typed_value.h). Empty, the default: every value is text, as shown.
using ValueTypes = std::vector<std::int16_t>;

// RFC 4180: a header row "record" and a name per field (made unique, as the keys of JSON
// Lines), CRLF line ends, quotes doubled, and
// values with separators, quotes or line breaks quoted. Typed values are text all the same:
// a truth value true or false, a date YYYY-MM-DD.
// Given `shown`, the batches hold the values as stored, and the writer shows each as it
// writes it.
std::unique_ptr<RecordWriter> MakeCsvWriter(OutputFile& out, const std::vector<std::string>& names,
                                            bool bom, const ValueTypes& types = {},
                                            ValueText* shown = nullptr);
// One JSON object per line: "record" and one member per field (keys made unique); typed
// values as JSON numbers and true or false. Given `shown`, as for CSV.
std::unique_ptr<RecordWriter> MakeJsonLinesWriter(OutputFile& out,
                                                  const std::vector<std::string>& keys,
                                                  const ValueTypes& types = {},
                                                  ValueText* shown = nullptr);
// A SQLite database at the output's temporary path: the table "records" (the record number
// as INTEGER PRIMARY KEY, one column per field) and the table "fields", in one transaction.
// Typed, the columns have no declared type, so that SQLite keeps each value's storage class
// (INTEGER, REAL, TEXT; a truth value 1 or 0): a column declared INTEGER would make "007" 7.
std::unique_ptr<RecordWriter> MakeSqliteWriter(OutputFile& out, const std::vector<Column>& columns,
                                               const std::vector<std::string>& columnNames,
                                               const ValueTypes& types = {});

}  // namespace tomo
