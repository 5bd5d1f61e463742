#include "export/utf8_text.h"

#include <algorithm>
#include <set>

#include "export/failure.h"

namespace tomo {

Utf8Text::Utf8Text(int codePage) : codePage_(OpenCodePage(codePage)) {
  if (!codePage_) throw Failure("code page " + std::to_string(codePage) + " is not known here");
  for (int b = 0; b < 0x80 && asciiAsIs_; ++b) {
    const char c = static_cast<char>(b);
    std::string converted;
    codePage_->AppendUtf8(std::string_view(&c, 1), converted);
    asciiAsIs_ = converted.size() == 1 && converted[0] == c;
  }
  // One call of the converter per value costs more than all the rest of an export's work on
  // the value; a table of what it makes of each byte costs 256 calls once.
  if (codePage_->ByteByByte()) {
    bytes_.resize(256);
    for (std::size_t b = 0; b < bytes_.size(); ++b) {
      codePage_->AppendUtf8(std::string(1, static_cast<char>(b)), bytes_[b]);
    }
  }
}

std::string_view Utf8Text::Converted(std::string_view text, std::string& scratch) const {
  scratch.clear();
  if (bytes_.empty()) {
    codePage_->AppendUtf8(text, scratch);
  } else {
    for (const char c : text) scratch += bytes_[static_cast<unsigned char>(c)];
  }
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

}  // namespace tomo
