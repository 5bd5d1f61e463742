#include "export/paths.h"

namespace tomo {

std::string WhatStandsAt(const fs::path& path) {
  std::error_code error;
  switch (fs::status(path, error).type()) {
    case fs::file_type::not_found:
      return "no such file or folder";
    case fs::file_type::directory:
      return "a folder";
    case fs::file_type::regular:
      return "a file";
    case fs::file_type::fifo:
      return "a named pipe";
    case fs::file_type::block:
    case fs::file_type::character:
      return "a device";
    case fs::file_type::socket:
      return "a socket";
    default:
      return error ? error.message() : "not a file";
  }
}

}  // namespace tomo
