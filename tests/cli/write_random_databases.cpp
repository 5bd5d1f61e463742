// Writes random databases (well formed, broken, or entries of no order) and, beside each,
// its records as the reference shows them when gone to, for the tests of tomodb's exports.
//
//   tomodb_test_databases DIR COUNT SEED
//
// DIR/dbN/dbN.z04 and .zbd, and DIR/dbN.json: {"fields": [names], "records": [numbers],
// "raw": [[value or null by field] by record], "rendered": [[...]]}, texts with every byte
// as the character of that number (Python: text.encode("latin-1")).
#include <cstdio>
#include <fstream>
#include <string>

#include "shell/linked_database.h"
#include "storage/field_table.h"
#include "storage/value_rendering.h"
#include "support/database_writer.h"
#include "support/random_database.h"

namespace {

using namespace tomo;
using namespace tomo::testing;

constexpr std::int64_t kMostRecords = 500;

void AppendString(std::string_view bytes, std::string& out) {
  out += '"';
  for (const char c : bytes) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20 || u >= 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
      out += escaped;
    } else {
      out += c;
    }
  }
  out += '"';
}

std::string Table(const RecordTable& records, const std::vector<FieldDef>& fields, bool render) {
  std::string out = "[";
  for (std::size_t r = 0; r < records.size(); ++r) {
    out += r == 0 ? "[" : ",[";
    for (std::size_t f = 0; f < records[r].size(); ++f) {
      if (f > 0) out += ',';
      const auto& value = records[r][f];
      if (!value) {
        out += "null";
      } else {
        AppendString(render ? RenderValue(fields[f], *value) : *value, out);
      }
    }
    out += ']';
  }
  return out + "]";
}

void Write(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: tomodb_test_databases DIR COUNT SEED\n");
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  const int count = std::stoi(argv[2]);
  std::mt19937_64 random(std::stoull(argv[3]));
  int written = 0;
  while (written < count) {
    const RandomDatabase files = MakeRandomDatabase(random);
    MemoryTestApp side;
    side.Use("\\mem\\db", files.fieldFile, files.recordFile);
    const std::vector<FieldDef> fields = ReadFieldTable(DatabaseOf(side.app));
    if (fields.empty()) continue;
    const Shown shown = ReferenceShown(side.app);
    if (std::ssize(shown.records) > kMostRecords) continue;
    const std::string name = "db" + std::to_string(written++);
    std::filesystem::create_directories(dir / name);
    Write(dir / name / (name + ".z04"), files.fieldFile);
    Write(dir / name / (name + ".zbd"), files.recordFile);
    std::string json = "{\"fields\":[";
    for (std::size_t f = 0; f < fields.size(); ++f) {
      if (f > 0) json += ',';
      AppendString(fields[f].Name, json);
    }
    json += "],\"records\":[";
    for (std::size_t r = 0; r < shown.records.size(); ++r) {
      json += (r == 0 ? "" : ",") + std::to_string(shown.records[r]);
    }
    json += "],\"raw\":" + Table(shown.values, fields, false) +
            ",\"rendered\":" + Table(shown.values, fields, true) + "}\n";
    Write(dir / (name + ".json"), json);
  }
  return 0;
}
