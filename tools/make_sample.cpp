// Makes a sample database from its readable description:
//   make_sample SOURCE FOLDER
// writes FOLDER/NAME.z04 and FOLDER/NAME.zbd, NAME being the folder's own name.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "database_format.h"
#include "sample_source.h"

namespace {

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_sample SOURCE FOLDER\n";
    return 2;
  }
  try {
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) throw std::runtime_error(std::string("cannot read ") + argv[1]);
    std::stringstream source;
    source << in.rdbuf();
    const auto database = tomo::format::ParseSampleSource(source.str());
    const std::filesystem::path folder = std::filesystem::absolute(argv[2]).lexically_normal();
    const std::string name =
        (folder.has_filename() ? folder : folder.parent_path()).filename().string();
    std::filesystem::create_directories(folder);
    WriteFile(folder / (name + ".z04"), tomo::format::FieldFileBytes(database.fields));
    WriteFile(folder / (name + ".zbd"),
              tomo::format::RecordFileBytes(tomo::format::RecordEntries(database)));
  } catch (const std::exception& error) {
    std::cerr << "make_sample: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
