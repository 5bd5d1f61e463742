#include "export/target_check.h"

#include "export/failure.h"

namespace tomo {

namespace {

bool SameFile(const fs::path& a, const fs::path& b) {
  std::error_code error;
  if (fs::exists(a, error) && fs::exists(b, error)) return fs::equivalent(a, b, error);
  return fs::weakly_canonical(a, error) == fs::weakly_canonical(b, error);
}

// The file a path names, its links followed: a link stays, and what it names is replaced.
fs::path LinkedFile(fs::path path) {
  std::error_code error;
  for (int links = 0; fs::is_symlink(fs::symlink_status(path, error)); ++links) {
    if (links == 40) throw Failure(Utf8Of(path) + " is a loop of links");
    const fs::path named = fs::read_symlink(path, error);
    if (error) throw Failure("cannot follow the link " + Utf8Of(path) + ": " + error.message());
    path = named.is_absolute() ? named : path.parent_path() / named;
  }
  return path;
}

}  // namespace

ExportTarget CheckTarget(const fs::path& given, const fs::path& databaseFolder,
                         const fs::path& fieldFile, const fs::path& recordFile) {
  ExportTarget target{LinkedFile(given)};
  if (SameFile(target.file, fieldFile) || SameFile(target.file, recordFile)) {
    target.refusal = TargetRefusal::kDatabaseFile;
    return target;
  }
  fs::path folder = target.file.parent_path();
  if (folder.empty()) folder = ".";
  if (SameFile(folder, databaseFolder)) {
    target.refusal = TargetRefusal::kDatabaseFolder;
    return target;
  }
  std::error_code error;
  const fs::file_status status = fs::status(target.file, error);
  if (fs::is_directory(status)) {
    target.refusal = TargetRefusal::kFolder;
  } else if (fs::exists(status) && !fs::is_regular_file(status)) {
    target.refusal = TargetRefusal::kNotRegular;
  }
  target.exists = fs::exists(status);
  return target;
}

}  // namespace tomo
