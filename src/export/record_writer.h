// The export's output formats. A writer takes the records in order, their values already
// UTF-8 (none for an absent value), and makes the whole output by Finish.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "export/output_file.h"
#include "storage/field_def.h"
#include "storage/record_stream.h"

namespace tomo {

class RecordWriter {
 public:
  virtual ~RecordWriter() = default;
  virtual void Record(std::int64_t number, const RecordValues& values) = 0;
  virtual void Finish() = 0;
};

// The field table as the formats describe it: names, options and type in UTF-8.
struct Column {
  std::string name;
  std::string options;
  const FieldDef* field;
};

// RFC 4180: a header row "record" and a name per field (made unique, as the keys of JSON
// Lines), CRLF line ends, quotes doubled, and values with separators, quotes or line breaks
// quoted.
std::unique_ptr<RecordWriter> MakeCsvWriter(OutputFile& out, const std::vector<std::string>& names,
                                            bool bom);
// One JSON object per line: "record" and one member per field (keys made unique).
std::unique_ptr<RecordWriter> MakeJsonLinesWriter(OutputFile& out,
                                                  const std::vector<std::string>& keys);
// A SQLite database at the output's temporary path: the table "records" (the record number
// as INTEGER PRIMARY KEY, one column per field) and the table "fields", in one transaction.
std::unique_ptr<RecordWriter> MakeSqliteWriter(OutputFile& out, const std::vector<Column>& columns,
                                               const std::vector<std::string>& columnNames);

}  // namespace tomo
