#include <algorithm>
#include <cstdio>

#include "cli/commands.h"
#include "cli/database_files.h"
#include "cli/terminal_text.h"
#include "export/json_text.h"
#include "export/utf8_text.h"
#include "storage/record_file.h"

namespace tomo::cli {

namespace {

constexpr std::size_t kShownOptions = 40;  // characters of the options shown in the table

std::string TypeName(std::int16_t type) {
  if (type >= 0 && type <= 9) return std::string(kEnglishTypeNames[static_cast<std::size_t>(type)]);
  return std::to_string(type);
}

// Characters of a UTF-8 text, for lining up columns.
std::size_t Width(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

std::string Padded(const std::string& text, std::size_t width) {
  return text + std::string(width - std::min(width, Width(text)), ' ');
}

// Options on one line, cut to kShownOptions characters.
std::string ShownOptions(const std::string& options) {
  std::size_t characters = 0;
  for (std::size_t i = 0; i < options.size(); ++i) {
    const bool start = (static_cast<unsigned char>(options[i]) & 0xC0) != 0x80;
    if (start && ++characters > kShownOptions) return TerminalText(options.substr(0, i)) + "...";
  }
  return TerminalText(options);
}

struct Field {
  std::string name, type, options;
  std::int16_t code;
  bool searchable;
};

}  // namespace

int RunInfo(Host& host, const Arguments& args) {
  DatabaseFiles db(host, args.database);
  const Utf8Text text(args.codePage);
  const Database reading = db.Reading();
  const RecordFileSize size = MeasureRecordFile(reading);
  const std::int64_t highest = HighestRecord(reading);
  std::vector<Field> fields;
  for (const FieldDef& def : db.Fields()) {
    fields.push_back(Field{text.Of(def.Name), TypeName(def.Type), text.Of(def.Options), def.Type,
                           def.SearchFlag == 1});
  }
  const std::string folder = Utf8Of(db.Folder());
  const std::string fieldFile = Utf8Of(db.FieldFile());
  const std::string recordFile = Utf8Of(db.RecordFile());
  std::string out;
  if (args.json) {
    const auto member = [&out](const char* key) {
      out += out.back() == '{' ? "" : ",";
      AppendJsonString(key, out);
      out += ':';
    };
    out = "{";
    member("folder");
    AppendJsonString(folder, out);
    member("fieldFile");
    out += "{\"path\":";
    AppendJsonString(fieldFile, out);
    out += ",\"bytes\":" + std::to_string(db.FieldFileBytes()) + "}";
    member("recordFile");
    out += "{\"path\":";
    AppendJsonString(recordFile, out);
    out += ",\"bytes\":" + std::to_string(db.RecordFileBytes()) + "}";
    member("FieldCount");
    out += std::to_string(fields.size());
    member("RecordCount");
    out += std::to_string(size.lastRecord);
    if (highest != size.lastRecord) {
      member("highestRecord");
      out += std::to_string(highest);
    }
    member("entries");
    out += std::to_string(size.entries);
    member("fields");
    out += "[";
    for (std::size_t f = 0; f < fields.size(); ++f) {
      out += f == 0 ? "{" : ",{";
      member("number");
      out += std::to_string(f + 1);
      member("name");
      AppendJsonString(fields[f].name, out);
      member("type");
      out += std::to_string(fields[f].code);
      member("typeName");
      AppendJsonString(fields[f].type, out);
      member("searchable");
      out += fields[f].searchable ? "true" : "false";
      member("options");
      AppendJsonString(fields[f].options, out);
      out += "}";
    }
    out += "]}\n";
  } else {
    out = "folder       " + TerminalText(folder) + "\n";
    out += "field file   " + TerminalText(fieldFile) + " (" + std::to_string(db.FieldFileBytes()) +
           " bytes)\n";
    out += "record file  " + TerminalText(recordFile) + " (" +
           std::to_string(db.RecordFileBytes()) + " bytes)\n";
    out += "FieldCount   " + std::to_string(fields.size()) + "\n";
    out += "RecordCount  " + std::to_string(size.lastRecord) + "\n";
    if (highest != size.lastRecord) {
      out += "highest      " + std::to_string(highest) + " (the highest record with an entry)\n";
    }
    out += "entries      " + std::to_string(size.entries) + "\n\n";
    std::size_t nameWidth = 4, typeWidth = 4;
    for (Field& field : fields) {
      field.name = TerminalText(field.name);
      nameWidth = std::max(nameWidth, Width(field.name));
      typeWidth = std::max(typeWidth, Width(field.type));
    }
    const std::size_t numberWidth = std::max<std::size_t>(6, std::to_string(fields.size()).size());
    out += Padded("number", numberWidth) + "  " + Padded("name", nameWidth) + "  " +
           Padded("type", typeWidth) + "  searchable  options\n";
    for (std::size_t f = 0; f < fields.size(); ++f) {
      const std::string number = std::to_string(f + 1);
      out += std::string(numberWidth - number.size(), ' ') + number + "  " +
             Padded(fields[f].name, nameWidth) + "  " + Padded(fields[f].type, typeWidth) + "  " +
             Padded(fields[f].searchable ? "yes" : "no", 10) + "  " +
             ShownOptions(fields[f].options) + "\n";
    }
  }
  std::fwrite(out.data(), 1, out.size(), host.out);
  return 0;
}

}  // namespace tomo::cli
