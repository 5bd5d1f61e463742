// The formats an export writes.
#pragma once

namespace tomo {

enum class Format { kCsv, kJsonLines, kSqlite };

}  // namespace tomo
