// The two database files read the plain way, for the reference: the field definitions one
// 12042-byte record at a time and the record file one 54-byte entry at a time, each part
// taken from its own offset. The program's readers are not used here, so that the
// reference checks their offsets, name endings and length limits.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "shell/app.h"

namespace tomo::testing::reference {

// The fields of the field definition file, in file order.
std::vector<FieldDef> LoadFields(App& app);

// One character entry of the record file.
struct Entry {
  char character = 0;
  std::optional<std::string> name;  // none when the name field holds no zero byte
  std::int64_t record = 0;
  std::int32_t mark = 0;  // exactly 1 on a value's last character

  bool Is(std::string_view field) const { return name && *name == field; }
};

// The record file, opened for one operation.
class RecordFile {
 public:
  explicit RecordFile(App& app);
  std::int64_t Entries() const { return entries_; }
  // Entry i, from 1. An entry that cannot be read matches no field.
  Entry Read(std::int64_t i);

 private:
  std::unique_ptr<ReadOnlyFile> file_;
  std::int64_t entries_ = 0;
};

}  // namespace tomo::testing::reference
