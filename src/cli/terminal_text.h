// Text for the terminal: a name or an option holding control characters must not move the
// cursor, change colours or break the table's lines.
#pragma once

#include <string>
#include <string_view>

namespace tomo::cli {

// `utf8` with its control characters escaped: \n, \r and \t; \xNN for the other bytes below
// 0x20 and 0x7F; \u0080 to \u009F for the C1 controls; and a backslash doubled, so that
// every escape reads one way.
std::string TerminalText(std::string_view utf8);

}  // namespace tomo::cli
