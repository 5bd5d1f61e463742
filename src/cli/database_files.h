// The database a command names: its folder and the paths of its two files, read through the
// storage core as the viewer reads them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cli/host.h"
#include "export/paths.h"
#include "storage/database.h"
#include "storage/field_def.h"

namespace tomo::cli {

// A console program lets no window messages through. Its clock paces how often a long read
// asks whether the user pressed Ctrl+C: then it stops the read (throws Stopped).
class ConsolePump : public ScanPump {
 public:
  void PumpMessages() override;
  std::int64_t NowMicroseconds() override;
};

class DatabaseFiles {
 public:
  // Throws Failure when the folder is missing, the viewer would not open it as a database,
  // or either file is there but cannot be read as a file; warns of a missing record file.
  DatabaseFiles(Host& host, const std::string& folder);

  const fs::path& Folder() const { return folder_; }
  const fs::path& FieldFile() const { return fieldFile_; }
  const fs::path& RecordFile() const { return recordFile_; }
  std::int64_t FieldFileBytes() const;
  std::int64_t RecordFileBytes() const;
  // Reads of the database, through the files as the viewer opens them.
  Database Reading() {
    return Database{host_.files, pump_, Utf8Of(fieldFile_), Utf8Of(recordFile_), state_};
  }
  const std::vector<FieldDef>& Fields() const { return fields_; }

 private:
  // How the file opens; throws Failure when it is there but cannot be read.
  Opening OpenedAs(const fs::path& file) const;

  Host& host_;
  ConsolePump pump_;
  ReadState state_;
  fs::path folder_;
  fs::path fieldFile_;
  fs::path recordFile_;
  std::vector<FieldDef> fields_;
};

}  // namespace tomo::cli
