// The system's Save dialog and the user's Documents folder.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace tomo::win32 {

struct SaveFilter {
  std::wstring name;
  std::wstring extension;  // without the dot
};

struct SavedFile {
  std::wstring path;
  std::size_t filter = 0;  // index of the filter chosen
};

// GetSaveFileNameW owned by `owner`, the first filter proposed; it adds the chosen filter's
// extension to a name typed without one and asks before replacing a file.
std::optional<SavedFile> ChooseSaveFile(HWND owner, const std::vector<SaveFilter>& filters,
                                        const std::wstring& name, const std::wstring& folder);

// FOLDERID_Documents; empty when the system has none.
std::wstring DocumentsFolder();

}  // namespace tomo::win32
