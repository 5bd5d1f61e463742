// Carries out the command chosen in the context menu.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "shell/app.h"

namespace tomo {

enum CommandId : std::int32_t {
  kDismissed = 0,
  kLinkDatabase = 1,
  kScrollData = 2,
  kGoToRecord = 3,
  kCopy = 4,
  kInfoDatabase = 7,
  kAuthor = 8,
  kFirstRecordCommand = 9,
  kSearch = 10,
  kUpdate = 11,
  kSwitchLanguage = 12,
  kMarkCell = 21,
  kMarkRecord = 22,
  kChooseColor = 23,
  kResetColors = 24,
  kUndoColor = 25,
  kExport = 26,
};

// The field-type names in the current language, indexed by type code.
using TypeNameTable = std::array<std::string_view, 10>;
TypeNameTable TypeNames(const App& app);

void RunCommand(App& app, std::int32_t& command);

}  // namespace tomo
