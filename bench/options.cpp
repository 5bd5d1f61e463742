#include "options.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>
#include <string>

namespace tomo::bench {

namespace {

std::vector<int> ParseSizes(const std::string& text) {
  std::vector<int> sizes;
  std::stringstream in(text);
  std::string item;
  while (std::getline(in, item, ',')) {
    const int k = std::stoi(item);
    if (k < 2 || k > 9) throw std::runtime_error("sizes are powers of ten from 2 to 9");
    sizes.push_back(k);
  }
  return sizes;
}

}  // namespace

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int k = 1; k < argc; ++k) {
    const std::string option = argv[k];
    const auto value = [&]() -> std::string {
      if (k + 1 >= argc) throw std::runtime_error(option + " needs a value");
      return argv[++k];
    };
    if (option == "--sizes") {
      options.sizes = ParseSizes(value());
    } else if (option == "--reference-sizes") {
      options.referenceSizes = ParseSizes(value());
    } else if (option == "--reference-limit") {
      options.referenceLimit = std::stod(value());
    } else if (option == "--repeat") {
      options.repeat = std::max(1, std::stoi(value()));
    } else if (option == "--dir") {
      options.dir = value();
    } else if (option == "--cold-processor-caches") {
      options.coldCaches = true;
    } else if (option == "--keep") {
      options.keep = true;
    } else {
      throw std::runtime_error("unknown option " + option);
    }
  }
  return options;
}

}  // namespace tomo::bench
