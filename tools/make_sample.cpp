// Makes a sample database from its readable description, or a large generated one:
//   make_sample SOURCE FOLDER
//   make_sample --generated ENTRIES FOLDER
// writes FOLDER/NAME.z04 and FOLDER/NAME.zbd, NAME being the folder's own name. A generated
// database has the benchmark's 20 fields and records 1, 2, ... up to about ENTRIES entries;
// its record count is printed.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "benchmark_database.h"
#include "database_format.h"
#include "sample_source.h"

namespace {

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

// The folder's absolute path and its own name.
std::filesystem::path FolderOf(const char* argument, std::string& name) {
  const std::filesystem::path folder = std::filesystem::absolute(argument).lexically_normal();
  name = (folder.has_filename() ? folder : folder.parent_path()).filename().string();
  return folder;
}

}  // namespace

int main(int argc, char** argv) {
  const bool generated = argc == 4 && std::string(argv[1]) == "--generated";
  if (argc != 3 && !generated) {
    std::cerr << "usage: make_sample SOURCE FOLDER | make_sample --generated ENTRIES FOLDER\n";
    return 2;
  }
  try {
    std::string name;
    if (generated) {
      const std::filesystem::path folder = FolderOf(argv[3], name);
      const auto database =
          tomo::format::WriteBenchmarkDatabase(folder.parent_path(), name, std::stoll(argv[2]));
      std::cout << database.records << "\n";
      return 0;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) throw std::runtime_error(std::string("cannot read ") + argv[1]);
    std::stringstream source;
    source << in.rdbuf();
    const auto database = tomo::format::ParseSampleSource(source.str());
    const std::filesystem::path folder = FolderOf(argv[2], name);
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
