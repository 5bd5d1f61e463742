// The 24-bit bottom-up bitmap file that "save picture" writes.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/drawing.h"

namespace tomo {

// The whole file: 14-byte file header, 40-byte information header, then the rows from the
// bottom up, each pixel as blue, green, red and each row padded to a multiple of 4 bytes.
std::vector<std::uint8_t> EncodeBitmapFile(int width, int height,
                                           const std::function<Color(int x, int y)>& pixel);

}  // namespace tomo
