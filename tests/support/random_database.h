// Random small databases for comparing the export's reading with the reference: well
// formed, broken in the ways a database breaks, well formed but for values appended at the
// end, or entries of no order at all.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "fakes/memory_files.h"
#include "support/reference_shown.h"

namespace tomo::testing {

struct RandomDatabase {
  std::string fieldFile;
  std::string recordFile;
  bool wellFormed = false;  // written in the well-formed order on purpose
  bool appended = false;    // well formed but for values appended at the end
};

// Values use characters that CSV and JSON must escape and letters of code page 1252 beyond
// ASCII; no value reads "No datos", so that the reference's reads tell absent values apart.
RandomDatabase MakeRandomDatabase(std::mt19937_64& random);

// A random database in use by a fresh state; half the time read in blocks of one to five
// entries, so that runs cross block boundaries, and half the time with its blocks looked at in
// place.
struct LinkedRandomDatabase {
  RandomDatabase files;
  std::unique_ptr<MemoryTestApp> side;
};
LinkedRandomDatabase LinkRandomDatabase(std::mt19937_64& random);

// Every record's values, by field, as the reference's whole-database fill reads them (field 1
// to FieldCount, record 1 to RecordCount, from a fresh read state); none for absent values.
// The side's database must be in use; checks the fill's rendered cells against the
// reference's own FillGrid on the way.
RecordTable ReferenceRecords(MemoryTestApp& side);

}  // namespace tomo::testing
