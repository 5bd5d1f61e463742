#include "cli/text.h"

#include <algorithm>
#include <set>

#include "cli/failure.h"

namespace tomo::cli {

Utf8Text::Utf8Text(int codePage) : codePage_(OpenCodePage(codePage)) {
  if (!codePage_) throw Failure("code page " + std::to_string(codePage) + " is not known here");
}

std::string_view Utf8Text::Of(std::string_view text, std::string& scratch) const {
  const bool ascii = std::all_of(text.begin(), text.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) return text;
  scratch.clear();
  codePage_->AppendUtf8(text, scratch);
  return scratch;
}

std::string Utf8Text::Of(std::string_view text) const {
  std::string scratch;
  return std::string(Of(text, scratch));
}

std::vector<std::string> UniqueColumnNames(
    const std::vector<std::string>& names, bool anyCase,
    const std::function<void(std::size_t, const std::string&)>& warn) {
  const auto key = [anyCase](std::string name) {
    if (anyCase) {
      for (char& c : name) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      }
    }
    return name;
  };
  std::set<std::string> taken{key("record")};
  std::vector<std::string> unique;
  for (std::size_t f = 0; f < names.size(); ++f) {
    std::string name = names[f];
    for (int n = 2; !taken.insert(key(name)).second; ++n) name = names[f] + "_" + std::to_string(n);
    if (name != names[f]) warn(f, name);
    unique.push_back(std::move(name));
  }
  return unique;
}

}  // namespace tomo::cli
