// Where an export may go: nothing is ever written into the database folder or over its
// files, and nothing but a regular file is ever replaced.
#pragma once

#include "export/paths.h"

namespace tomo {

enum class TargetRefusal {
  kNone,
  kDatabaseFile,    // the target is one of the database's files
  kDatabaseFolder,  // the target is in the database folder
  kFolder,          // a folder stands at the target
  kNotRegular,      // something other than a regular file stands there (WhatStandsAt says what)
};

struct ExportTarget {
  fs::path file;  // the file the target names, its links followed
  TargetRefusal refusal = TargetRefusal::kNone;
  bool exists = false;  // a regular file is there, to be replaced
};

// Throws Failure when the target's links cannot be followed.
ExportTarget CheckTarget(const fs::path& given, const fs::path& databaseFolder,
                         const fs::path& fieldFile, const fs::path& recordFile);

}  // namespace tomo
