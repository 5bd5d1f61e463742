#include "views/bitmap_file.h"

namespace tomo {

namespace {

void PutLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

std::vector<std::uint8_t> EncodeBitmapFile(int width, int height,
                                           const std::function<Color(int x, int y)>& pixel) {
  constexpr std::uint32_t kHeaderSize = 14 + 40;
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  const std::uint32_t rowSize = (static_cast<std::uint32_t>(width) * 3 + 3) / 4 * 4;
  const std::uint32_t fileSize = kHeaderSize + rowSize * static_cast<std::uint32_t>(height);
  std::vector<std::uint8_t> out;
  out.reserve(fileSize);
  out.push_back('B');
  out.push_back('M');
  PutLittleEndian(out, fileSize, 4);
  PutLittleEndian(out, 0, 4);  // two reserved 16-bit zeros
  PutLittleEndian(out, kHeaderSize, 4);
  PutLittleEndian(out, 40, 4);
  PutLittleEndian(out, static_cast<std::uint32_t>(width), 4);
  PutLittleEndian(out, static_cast<std::uint32_t>(height), 4);  // positive: rows bottom-up
  PutLittleEndian(out, 1, 2);
  PutLittleEndian(out, 24, 2);
  for (int i = 0; i < 6; ++i) PutLittleEndian(out, 0, 4);  // compression .. colour counts
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const Color c = pixel(x, y);
      out.push_back(static_cast<std::uint8_t>(c >> 16));  // blue
      out.push_back(static_cast<std::uint8_t>(c >> 8));   // green
      out.push_back(static_cast<std::uint8_t>(c));        // red
    }
    for (std::uint32_t pad = static_cast<std::uint32_t>(width) * 3; pad < rowSize; ++pad) {
      out.push_back(0);
    }
  }
  return out;
}

}  // namespace tomo
