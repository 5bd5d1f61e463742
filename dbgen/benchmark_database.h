// Large well-formed databases for measuring what scans of the record file cost: 20 fields
// of every type, about one value in seven absent, written as a stream of any size.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "database_format.h"

namespace tomo::format {

inline constexpr int kBenchmarkFieldCount = 20;
// Field 1 (a code) is present in every record; field 2 holds a name unique to its record.
inline constexpr int kUniqueNameField = 2;

std::vector<FieldSpec> BenchmarkFields();
// The value of field `field` (from 1) in record `record`; none when absent. A complete
// record has every value.
std::optional<std::string> BenchmarkValue(int field, std::int64_t record, bool complete);

struct BenchmarkDatabase {
  std::filesystem::path folder;  // holds NAME.z04 and NAME.zbd, NAME being its own name
  std::int64_t entries = 0;
  std::int64_t records = 0;  // records 1..records, the last one complete
  std::int64_t recordFileBytes = 0;
  std::int64_t fieldFileBytes = 0;
};

// Writes the database `name` into the folder `name` inside `parent`, with records 1, 2, ...
// until about `entries` entries are written; the last record is complete.
BenchmarkDatabase WriteBenchmarkDatabase(const std::filesystem::path& parent,
                                         const std::string& name, std::int64_t entries);

}  // namespace tomo::format
