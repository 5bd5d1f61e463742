// The readable description of a sample database (UTF-8 text) and its reading.
//
//   # a comment
//   field Nombre; STRING; search
//   field Color; ARRAY; nosearch; rojo|verde|azul
//   field Talla; ARRAY; search; " S | M | L "   (quotes keep the blanks at both ends)
//   record 1
//   Nombre: Ana
//   Color: "  100 "          (here too)
//   Notas: first line
//   + second line            (continues the value after a CR LF line break)
//
// Types are named as in the database report's English names. Text is stored in the
// database files as Windows-1252 bytes.
#pragma once

#include <string>
#include <string_view>

#include "database_format.h"

namespace tomo::format {

// Throws std::runtime_error naming the line of the first mistake.
DatabaseSpec ParseSampleSource(std::string_view source);
// UTF-8 to Windows-1252; throws std::runtime_error for a character that has no byte there.
std::string ToWindows1252(std::string_view utf8);

}  // namespace tomo::format
