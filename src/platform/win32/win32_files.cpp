#include "win32_files.h"

#include <algorithm>

#include "handles.h"
#include "text.h"

namespace tomo::win32 {

namespace {

class Win32File : public ReadOnlyFile {
 public:
  Win32File(FileHandle file, Opening opening) : file_(std::move(file)), opening_(opening) {}

  Opening HowOpened() override { return opening_; }

  std::int64_t Length() override {
    LARGE_INTEGER size{};
    if (!file_ || !GetFileSizeEx(file_.get(), &size)) return 0;
    return size.QuadPart;
  }

  FileStamp Stamp() override {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file_ || !GetFileInformationByHandle(file_.get(), &info)) return {};
    const auto join = [](DWORD high, DWORD low) {
      return (static_cast<std::uint64_t>(high) << 32) | low;
    };
    // The change time is only in the basic information; a file system without it leaves 0.
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandleEx(file_.get(), FileBasicInfo, &basic, sizeof basic)) basic = {};
    return FileStamp{
        .length = static_cast<std::int64_t>(join(info.nFileSizeHigh, info.nFileSizeLow)),
        .lastWrite = static_cast<std::int64_t>(
            join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime)),
        .change = basic.ChangeTime.QuadPart,
        .volume = info.dwVolumeSerialNumber,
        .index = join(info.nFileIndexHigh, info.nFileIndexLow)};
  }

  // Positioned reads: nothing depends on a file pointer shared with other reads.
  std::size_t ReadAt(std::int64_t offset, void* buffer, std::size_t size) override {
    if (!file_ || offset < 0) return 0;
    std::size_t done = 0;
    while (done < size) {
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
      const auto at = static_cast<std::uint64_t>(offset) + done;
      OVERLAPPED position{};
      position.Offset = static_cast<DWORD>(at);
      position.OffsetHigh = static_cast<DWORD>(at >> 32);
      DWORD read = 0;
      if (!ReadFile(file_.get(), static_cast<char*>(buffer) + done, chunk, &read, &position) ||
          read == 0) {
        break;
      }
      done += read;
    }
    return done;
  }

 private:
  FileHandle file_;
  Opening opening_;
};

}  // namespace

std::unique_ptr<ReadOnlyFile> Win32Files::OpenForReading(const std::string& path) {
  // OPEN_EXISTING: a missing file is never created. Sharing everything lets other programs
  // keep writing, renaming or deleting the database while it is read.
  FileHandle file(CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    // A folder fails with ERROR_ACCESS_DENIED, and reads as unreadable like a locked file.
    return std::make_unique<Win32File>(FileHandle{},
                                       missing ? Opening::kMissing : Opening::kUnreadable);
  }
  // Only disk files are read: a name such as CON or COM1 opens a device that could block.
  if (GetFileType(file.get()) != FILE_TYPE_DISK) {
    return std::make_unique<Win32File>(FileHandle{}, Opening::kUnreadable);
  }
  return std::make_unique<Win32File>(std::move(file), Opening::kOpened);
}

std::string Win32Files::CreateTempFile() {
  wchar_t folder[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
  if (length == 0 || length > MAX_PATH) return {};
  wchar_t name[MAX_PATH] = {};
  if (GetTempFileNameW(folder, L"tom", 0, name) == 0) return {};
  return WideToUtf8(name);
}

void Win32Files::DeleteTempFile(const std::string& path) {
  if (path.empty()) return;
  const std::wstring wide = Utf8ToWide(path);
  // The archive attribute alone, so that a read-only flag does not stop the deletion.
  SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_ARCHIVE);
  DeleteFileW(wide.c_str());
}

}  // namespace tomo::win32
