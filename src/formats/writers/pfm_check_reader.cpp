#include "formats/writers/pfm_check_reader.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kLargestSide = 1 << 20;

// The next whitespace-separated header field from position on.
std::string nextField(const std::string& bytes, size_t& position) {
  while (position < bytes.size() && std::strchr(" \t\r\n", bytes[position])) ++position;
  const size_t start = position;
  while (position < bytes.size() && !std::strchr(" \t\r\n", bytes[position])) ++position;
  return bytes.substr(start, position - start);
}

bool hostIsLittleEndian() {
  const uint16_t probe = 1;
  uint8_t first = 0;
  std::memcpy(&first, &probe, 1);
  return first == 1;
}

float sampleAt(const char* at, bool swap) {
  char raw[4];
  std::memcpy(raw, at, 4);
  if (swap) {
    std::swap(raw[0], raw[3]);
    std::swap(raw[1], raw[2]);
  }
  float value = 0.0f;
  std::memcpy(&value, raw, 4);
  return value;
}

}  // namespace

Bitmap readPfmForCheck(const std::string& bytes) {
  size_t position = 0;
  const std::string magic = nextField(bytes, position);
  if (magic != "PF" && magic != "Pf") return nullptr;
  const int channels = magic == "PF" ? 3 : 1;
  const int width = std::atoi(nextField(bytes, position).c_str());
  const int height = std::atoi(nextField(bytes, position).c_str());
  const double scale = std::atof(nextField(bytes, position).c_str());
  if (width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide || scale == 0.0) {
    return nullptr;
  }
  ++position;  // the single whitespace byte that ends the header
  const size_t rowBytes = static_cast<size_t>(width) * channels * 4;
  if (bytes.size() < position || (bytes.size() - position) / rowBytes < static_cast<size_t>(height)) {
    return nullptr;
  }
  const bool swap = (scale < 0.0) != hostIsLittleEndian();
  Bitmap image = adoptBitmap(FreeImage_AllocateT(channels == 3 ? FIT_RGBF : FIT_FLOAT, width, height));
  if (!image) return nullptr;
  // File rows run bottom first, as FreeImage's scanlines do.
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<float*>(FreeImage_GetScanLine(image.get(), y));
    const char* source = bytes.data() + position + static_cast<size_t>(y) * rowBytes;
    for (int i = 0; i < width * channels; ++i) row[i] = sampleAt(source + 4 * i, swap);
  }
  return image;
}
