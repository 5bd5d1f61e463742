#include "opening.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <vector>

#include "storage/folder_path.h"
#include "text.h"

namespace tomo::win32 {
namespace {

std::string CurrentFolder() {
  wchar_t folder[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, folder);
  return WideToUtf8(folder);
}

TEST(PathOnCommandLine, GivesTheArgumentAsAnAbsoluteFolder) {
  const std::string here = CurrentFolder();
  const struct {
    const wchar_t* commandLine;
    std::string folder;
  } cases[] = {
      {LR"("C:\Program Files\tomo.exe")", ""},
      {LR"(tomo.exe "")", ""},
      {LR"(tomo.exe C:\data\agenda)", R"(C:\data\agenda)"},
      {LR"(tomo.exe "C:\my data\agenda\")", R"(C:\my data\agenda)"},
      {LR"("C:\a b\tomo.exe" "C:\my data\Agenda\AGENDA.Z04")", R"(C:\my data\Agenda)"},
      {LR"(tomo.exe C:\my data\agenda\agenda.zbd)", R"(C:\my data\agenda)"},
      {LR"(tomo.exe C:/data/agenda/agenda.z04)", R"(C:\data\agenda)"},
      {L"tomo.exe \"C:\\d\\\u00F1and\u00FA \u65E5\\\u00F1and\u00FA \u65E5.z04\"",
       "C:\\d\\\xC3\xB1"
       "and\xC3\xBA \xE6\x97\xA5"},
      {LR"(tomo.exe agenda\agenda.z04)", here + R"(\agenda)"},
  };
  for (const auto& c : cases) {
    const auto path = PathOnCommandLine(c.commandLine);
    EXPECT_EQ(path ? DatabaseFolderOf(*path) : "", c.folder) << WideToUtf8(c.commandLine);
  }
}

// A drop as the shell hands it over: DROPFILES, then the wide paths, each ended by a zero,
// and one more zero.
HDROP MakeDrop(const std::vector<std::wstring>& paths) {
  std::wstring list;
  for (const std::wstring& path : paths) list += path + L'\0';
  list += L'\0';
  const std::size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GHND, bytes);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(),
              list.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

TEST(FirstDroppedPath, IsTheFirstOfOneOrSeveral) {
  EXPECT_EQ(FirstDroppedPath(DroppedFiles(MakeDrop({L"C:\\data\\agenda\\agenda.z04"}))),
            "C:\\data\\agenda\\agenda.z04");
  EXPECT_EQ(FirstDroppedPath(DroppedFiles(
                MakeDrop({L"D:\\\u00F1\\\u00D1.ZBD", L"C:\\data\\other", L"C:\\x.txt"}))),
            "D:\\\xC3\xB1\\\xC3\x91.ZBD");
  EXPECT_EQ(FirstDroppedPath(DroppedFiles(MakeDrop({}))), std::nullopt);
}

}  // namespace
}  // namespace tomo::win32
