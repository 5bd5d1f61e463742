#include "benchmark_database.h"

#include <array>
#include <fstream>
#include <stdexcept>

namespace tomo::format {

namespace {

// Type codes, as the field definition file stores them.
constexpr std::int16_t kPhonetics = 0, kDecimal = 1, kInteger = 2, kString = 3, kLogic = 4,
                       kMemo = 5, kTime = 6, kDate = 7, kAntiquity = 8, kArray = 9;

// A well-mixed number for each (record, field), so absences and choices look random but
// every run writes the same bytes.
std::uint64_t Mix(std::int64_t record, int field) {
  std::uint64_t x = static_cast<std::uint64_t>(record) * 0x9E3779B97F4A7C15ull +
                    static_cast<std::uint64_t>(field) * 0xBF58476D1CE4E5B9ull;
  x ^= x >> 31;
  x *= 0x94D049BB133111EBull;
  return x ^ (x >> 29);
}

template <std::size_t N>
const char* Pick(const std::array<const char*, N>& items, std::uint64_t k) {
  return items[k % N];
}

std::string TwoDigits(std::uint64_t n) {
  return std::string(1, static_cast<char>('0' + n / 10 % 10)) + static_cast<char>('0' + n % 10);
}

std::string Date(std::uint64_t k, int firstYear) {
  return TwoDigits(1 + k % 28) + "/" + TwoDigits(1 + k / 28 % 12) + "/" +
         std::to_string(firstYear + static_cast<int>(k / 336 % 60));
}

const std::array<const char*, 8> kCities = {"Madrid", "Sevilla", "Lugo",   "Bilbao",
                                            "Murcia", "Cadiz",   "Toledo", "Valencia"};
const std::array<const char*, 6> kSurnames = {"Garcia", "Lopez", "Ruiz", "Martin", "Sanz", "Diaz"};
const std::array<const char*, 4> kNotes = {"Llamar por la tarde", "Sin observaciones",
                                           "Pendiente de confirmar la direccion", "Cliente"};

}  // namespace

std::vector<FieldSpec> BenchmarkFields() {
  return {{"Codigo", kInteger},     {"Nombre", kString},
          {"Apellidos", kString},   {"Ciudad", kString},
          {"Direccion", kString},   {"Telefono", kString},
          {"Correo", kString},      {"Edad", kInteger},
          {"Activo", kLogic},       {"Categoria", kArray, "socio|invitado|directivo|honorario"},
          {"Alta", kDate},          {"Hora", kTime},
          {"Importe", kDecimal},    {"Nacimiento", kAntiquity},
          {"Fonetica", kPhonetics}, {"Notas", kMemo},
          {"Pais", kString},        {"Codigo postal", kString},
          {"Descuento", kDecimal},  {"Observaciones del cliente", kMemo}};
}

std::optional<std::string> BenchmarkValue(int field, std::int64_t record, bool complete) {
  const std::uint64_t k = Mix(record, field);
  // About one value in seven is absent; the code never is.
  if (!complete && field != 1 && k % 7 == 0) return std::nullopt;
  const std::uint64_t v = k >> 8;
  const std::string n = std::to_string(record);
  switch (field) {
    case 1:
      return n;
    case 2:
      return "Nombre " + n;
    case 3:
      return std::string(Pick(kSurnames, v)) + " " + Pick(kSurnames, v >> 8);
    case 4:
      return Pick(kCities, v);
    case 5:
      return "Calle " + std::to_string(1 + v % 120);
    case 6:
      return "9" + std::to_string(10000000 + v % 89999999);
    case 7:
      return "c" + n + "@correo.es";
    case 8:
      return std::to_string(18 + v % 70);
    case 9:
      return std::to_string(v % 2);
    case 10:
      return std::to_string(100 + v % 4);
    case 11:
      return Date(v, 1990);
    case 12:
      return TwoDigits(v % 24) + ":" + TwoDigits(v / 24 % 60);
    case 13:
      return std::to_string(v % 5000) + "." + TwoDigits(v / 5000);
    case 14:
      return "  " + Date(v, 1900) + " ";
    case 15:
      return std::string(Pick(kSurnames, v)).substr(0, 3);
    case 16:
      return Pick(kNotes, v);
    case 17:
      return "Espana";
    case 18:
      return std::to_string(10000 + v % 40000);
    case 19:
      return "0." + TwoDigits(v);
    default:
      return v % 3 == 0 ? std::string(Pick(kNotes, v)) : "-";
  }
}

BenchmarkDatabase WriteBenchmarkDatabase(const std::filesystem::path& parent,
                                         const std::string& name, std::int64_t entries) {
  BenchmarkDatabase database;
  database.folder = parent / name;
  std::filesystem::create_directories(database.folder);
  const std::vector<FieldSpec> fields = BenchmarkFields();
  const std::string fieldFile = FieldFileBytes(fields);
  {
    std::ofstream out(database.folder / (name + ".z04"), std::ios::binary | std::ios::trunc);
    out.write(fieldFile.data(), static_cast<std::streamsize>(fieldFile.size()));
    if (!out) throw std::runtime_error("cannot write the field definition file");
  }
  RecordFileWriter writer(database.folder / (name + ".zbd"));
  const auto write = [&](std::int64_t record, bool complete) {
    for (int f = 1; f <= kBenchmarkFieldCount; ++f) {
      if (const auto value = BenchmarkValue(f, record, complete)) {
        writer.AddValue(fields[static_cast<std::size_t>(f - 1)].name, record, *value);
      }
    }
  };
  std::int64_t record = 1;
  // Records stop where a complete one reaches the size asked for.
  for (;; ++record) {
    std::int64_t whole = 0;
    for (int f = 1; f <= kBenchmarkFieldCount; ++f) {
      whole += static_cast<std::int64_t>(BenchmarkValue(f, record, true)->size());
    }
    if (writer.Entries() + whole >= entries) break;
    write(record, false);
  }
  write(record, true);
  writer.Close();
  database.entries = writer.Entries();
  database.records = record;
  database.recordFileBytes = database.entries * static_cast<std::int64_t>(kEntryBytes);
  database.fieldFileBytes = static_cast<std::int64_t>(fieldFile.size());
  return database;
}

}  // namespace tomo::format
