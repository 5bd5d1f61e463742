#include "win32_files.h"

#include <gtest/gtest.h>

#include <string>

#include "handles.h"
#include "text.h"

namespace tomo::win32 {
namespace {

// A folder of its own in the temporary folder, removed with everything in it.
class Win32FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    folder_ = std::wstring(temp) + L"tomo-files-" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
  }
  void TearDown() override { RemoveTree(folder_); }

  static void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring child = path + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(child);
        } else {
          SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
          DeleteFileW(child.c_str());
        }
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
  }

  std::wstring Path(const std::wstring& name) const { return folder_ + L"\\" + name; }

  static void Write(const std::wstring& path, const std::string& bytes) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    DWORD written = 0;
    ASSERT_TRUE(
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  }

  static std::string ReadAll(ReadOnlyFile& file) {
    std::string bytes(static_cast<std::size_t>(file.Length()), '\0');
    bytes.resize(file.ReadAt(0, bytes.data(), bytes.size()));
    return bytes;
  }

  static bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  Win32Files files;
  std::wstring folder_;
};

TEST_F(Win32FilesTest, ReadsBlocksAtOffsets) {
  Write(Path(L"agenda.zbd"), "0123456789");
  auto file = files.OpenForReading(WideToUtf8(Path(L"agenda.zbd")));
  EXPECT_EQ(file->Length(), 10);
  char block[4] = {};
  ASSERT_EQ(file->ReadAt(6, block, 4), 4u);
  EXPECT_EQ(std::string(block, 4), "6789");
  EXPECT_EQ(file->ReadAt(8, block, 4), 2u) << "a short read at the end";
  EXPECT_EQ(file->ReadAt(10, block, 4), 0u);
  EXPECT_EQ(file->ReadAt(-1, block, 4), 0u);
}

TEST_F(Win32FilesTest, AMissingFileReadsAsEmptyAndIsNotCreated) {
  const std::wstring missing = Path(L"agenda.z04");
  auto file = files.OpenForReading(WideToUtf8(missing));
  EXPECT_EQ(file->Length(), 0);
  char byte = 0;
  EXPECT_EQ(file->ReadAt(0, &byte, 1), 0u);
  EXPECT_FALSE(Exists(missing));
  EXPECT_EQ(files.OpenForReading("")->Length(), 0);
  EXPECT_EQ(files.OpenForReading(WideToUtf8(folder_))->Length(), 0) << "a folder";
}

TEST_F(Win32FilesTest, AFileHeldWithoutSharingReadsAsEmptyWithoutAMessage) {
  const std::wstring path = Path(L"agenda.z04");
  Write(path, std::string(12042, 'x'));
  FileHandle holder(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(holder);
  auto file = files.OpenForReading(WideToUtf8(path));
  EXPECT_EQ(file->Length(), 0);
  EXPECT_EQ(ReadAll(*file), "");
  // No message box or other window came up.
  EXPECT_EQ(FindWindowW(nullptr, L"TOMO"), nullptr);
}

TEST_F(Win32FilesTest, AFileAnotherProgramWritesReadsNormallyAndKeepsItWritable) {
  const std::wstring path = Path(L"agenda.zbd");
  Write(path, "first");
  FileHandle writer(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(writer);
  auto file = files.OpenForReading(WideToUtf8(path));
  EXPECT_EQ(ReadAll(*file), "first");
  // The other program can still append while the file is open here.
  SetFilePointer(writer.get(), 0, nullptr, FILE_END);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(writer.get(), "+more", 5, &written, nullptr));
  EXPECT_EQ(ReadAll(*file), "first+more");
  // And a program that opens it afterwards for writing is not refused.
  FileHandle late(CreateFileW(path.c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  EXPECT_TRUE(late);
}

TEST_F(Win32FilesTest, FoldersNamedOutsideTheAnsiCodePageOpen) {
  const std::wstring name = L"\x0391\x03B3\x03B5\x03BD\x03B4\x03B1_\x6570\x636E";  // Greek, CJK
  const std::wstring database = Path(name);
  ASSERT_TRUE(CreateDirectoryW(database.c_str(), nullptr));
  const std::wstring path = database + L"\\" + name + L".zbd";
  Write(path, "records");
  auto file = files.OpenForReading(WideToUtf8(path));
  EXPECT_EQ(ReadAll(*file), "records");
}

TEST_F(Win32FilesTest, TemporaryFilesAreFreshAndLeaveNothingBehind) {
  const std::string first = files.CreateTempFile();
  const std::string second = files.CreateTempFile();
  ASSERT_FALSE(first.empty());
  ASSERT_NE(first, second);
  EXPECT_TRUE(Exists(Utf8ToWide(first)));
  EXPECT_EQ(files.OpenForReading(first)->Length(), 0);
  // Even a read-only file goes.
  SetFileAttributesW(Utf8ToWide(second).c_str(), FILE_ATTRIBUTE_READONLY);
  files.DeleteTempFile(first);
  files.DeleteTempFile(second);
  EXPECT_FALSE(Exists(Utf8ToWide(first)));
  EXPECT_FALSE(Exists(Utf8ToWide(second)));
  files.DeleteTempFile(first);  // a missing file is no error
}

// The stamp tells the file as it was: a later write, another file of the same length, and
// the same file opened again are told apart or alike.
TEST_F(Win32FilesTest, TheStampTellsTheFileAsItWas) {
  const std::wstring path = Path(L"agenda.zbd"), other = Path(L"other.zbd");
  Write(path, "first");
  Write(other, "first");
  const FileStamp stamp = files.OpenForReading(WideToUtf8(path))->Stamp();
  EXPECT_EQ(stamp.length, 5);
  EXPECT_NE(stamp.lastWrite, 0);
  EXPECT_EQ(files.OpenForReading(WideToUtf8(path))->Stamp(), stamp);
  EXPECT_NE(files.OpenForReading(WideToUtf8(other))->Stamp(), stamp) << "another file";
  // Rewritten with the same length and an older last-write time.
  Write(path, "other");
  FileHandle writer(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  FILETIME old{12345, 1};
  ASSERT_TRUE(SetFileTime(writer.get(), nullptr, nullptr, &old));
  writer.reset();
  EXPECT_NE(files.OpenForReading(WideToUtf8(path))->Stamp(), stamp);
  EXPECT_EQ(files.OpenForReading(WideToUtf8(Path(L"missing")))->Stamp(), FileStamp{});
}

// A file rewritten in place with its times set back, as a copy that keeps times leaves it,
// is told by its change time.
TEST_F(Win32FilesTest, TheStampTellsAFileRewrittenWithItsTimesSetBack) {
  const std::wstring path = Path(L"agenda.zbd");
  Write(path, "first");
  const auto open = [&](DWORD access) {
    return FileHandle(CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  };
  FILETIME created{}, accessed{}, written{};
  ASSERT_TRUE(GetFileTime(open(GENERIC_READ).get(), &created, &accessed, &written));
  const FileStamp stamp = files.OpenForReading(WideToUtf8(path))->Stamp();
  Sleep(50);  // file times advance in coarse ticks
  Write(path, "other");
  ASSERT_TRUE(SetFileTime(open(GENERIC_WRITE).get(), &created, &accessed, &written));
  const FileStamp after = files.OpenForReading(WideToUtf8(path))->Stamp();
  EXPECT_EQ(after.length, stamp.length);
  EXPECT_EQ(after.lastWrite, stamp.lastWrite);
  EXPECT_EQ(after.index, stamp.index);
  EXPECT_NE(after.change, 0);
  EXPECT_NE(after, stamp);
}

}  // namespace
}  // namespace tomo::win32
