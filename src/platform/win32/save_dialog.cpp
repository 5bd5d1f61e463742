#include "save_dialog.h"

#include <commdlg.h>
#include <initguid.h>
#include <knownfolders.h>
#include <shlobj.h>

namespace tomo::win32 {

std::optional<SavedFile> ChooseSaveFile(HWND owner, const std::vector<SaveFilter>& filters,
                                        const std::wstring& name, const std::wstring& folder) {
  // "name\0*.ext\0" for each filter, and one more NUL at the end.
  std::wstring filter;
  for (const SaveFilter& f : filters) {
    filter += f.name + L'\0' + L"*." + f.extension + L'\0';
  }
  filter += L'\0';
  std::wstring path = name;
  path.resize(32768, L'\0');
  OPENFILENAMEW request{};
  request.lStructSize = sizeof(request);
  request.hwndOwner = owner;
  request.lpstrFilter = filter.c_str();
  request.nFilterIndex = 1;
  request.lpstrFile = path.data();
  request.nMaxFile = static_cast<DWORD>(path.size());
  request.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  request.lpstrDefExt = filters.empty() ? nullptr : filters.front().extension.c_str();
  request.Flags =
      OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
  if (!GetSaveFileNameW(&request)) return std::nullopt;
  path.resize(path.find(L'\0'));
  const std::size_t chosen = request.nFilterIndex > 0 ? request.nFilterIndex - 1 : 0;
  return SavedFile{path, chosen};
}

std::wstring DocumentsFolder() {
  PWSTR path = nullptr;
  std::wstring folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &path))) folder = path;
  CoTaskMemFree(path);
  return folder;
}

}  // namespace tomo::win32
