// The maker's web address, shown in the folder browser's title and on the author page.
#pragma once

#include <string_view>

namespace tomo {

inline constexpr std::string_view kMakerAddress = "www.tomo.example";

}  // namespace tomo
