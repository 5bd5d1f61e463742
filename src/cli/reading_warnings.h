// What an export did otherwise than write records 1 to the record count one by one, said on
// standard error: the export went on, and its user should know.
#pragma once

#include <cstdio>

#include "storage/shown_records.h"

namespace tomo::cli {

void WarnOfReading(std::FILE* err, const ShownRecordsReport& report);

}  // namespace tomo::cli
