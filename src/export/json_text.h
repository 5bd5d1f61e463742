// JSON strings for the JSON Lines export and `info --json`.
#pragma once

#include <string>
#include <string_view>

namespace tomo {

// Appends `text` (UTF-8) as a JSON string: quoted, with quotes, backslashes and control
// characters escaped.
inline void AppendJsonString(std::string_view text, std::string& out) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      out += "\\u00";
      out += kHex[u >> 4];
      out += kHex[u & 15];
    } else {
      out += c;
    }
  }
  out += '"';
}

}  // namespace tomo
