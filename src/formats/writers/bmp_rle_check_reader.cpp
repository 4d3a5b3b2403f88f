#include "formats/writers/bmp_rle_check_reader.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr size_t kInfoStart = 14;  // after "BM", size, reserved words, pixel offset
constexpr int kLargestSide = 1 << 16;

uint32_t wordAt(const std::string& bytes, size_t offset) {
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.data()) + offset;
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

struct RleHeader {
  int width = 0, height = 0;
  bool topDown = false;
  uint32_t compression = 0;
  uint32_t pixelOffset = 0;
  uint32_t colours = 0;
  size_t paletteStart = 0;
};

bool readHeader(const std::string& bytes, RleHeader* h) {
  if (bytes.size() < kInfoStart + 40 || bytes[0] != 'B' || bytes[1] != 'M') return false;
  h->pixelOffset = wordAt(bytes, 10);
  const uint32_t infoSize = wordAt(bytes, kInfoStart);
  const auto height = static_cast<int32_t>(wordAt(bytes, kInfoStart + 8));
  h->width = static_cast<int32_t>(wordAt(bytes, kInfoStart + 4));
  h->topDown = height < 0;
  // INT32_MIN has no positive counterpart: it is refused below as too tall.
  h->height = height == INT32_MIN ? INT32_MAX : (height < 0 ? -height : height);
  h->compression = wordAt(bytes, kInfoStart + 16);
  h->colours = wordAt(bytes, kInfoStart + 32);
  // A corrupted header may claim any depth; only RLE's 4 and 8 bits have a
  // palette of at most 256 entries, so anything wider is refused as too many.
  const uint32_t bitCount = static_cast<uint8_t>(bytes[kInfoStart + 14]);
  if (h->colours == 0) h->colours = bitCount <= 8 ? 1u << bitCount : 257u;
  h->paletteStart = kInfoStart + infoSize;
  return h->width > 0 && h->width < kLargestSide && h->height > 0 && h->height < kLargestSide &&
         h->colours <= 256 && h->paletteStart + 4 * h->colours <= h->pixelOffset &&
         h->pixelOffset <= bytes.size();
}

// Writes index at (x, y) of the file's row order; false once outside.
bool put(FIBITMAP* image, const RleHeader& h, int x, int y, uint8_t index) {
  if (x < 0 || x >= h.width || y < 0 || y >= h.height) return false;
  FreeImage_GetScanLine(image, h.topDown ? h.height - 1 - y : y)[x] = index;
  return true;
}

bool decodeRuns(const std::string& bytes, const RleHeader& h, FIBITMAP* image) {
  const bool four = h.compression == kBiRle4;
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  size_t p = h.pixelOffset;
  int x = 0, y = 0;
  while (p + 2 <= bytes.size()) {
    const uint8_t count = data[p], value = data[p + 1];
    p += 2;
    if (count > 0) {  // a run: count pixels of value (two alternating nibbles in RLE4)
      for (int i = 0; i < count; ++i, ++x) {
        put(image, h, x, y, four ? (i % 2 ? value & 0x0F : value >> 4) : value);
      }
    } else if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      return true;
    } else if (value == 2) {  // delta
      if (p + 2 > bytes.size()) return false;
      x += data[p];
      y += data[p + 1];
      p += 2;
    } else {  // value literal pixels, padded to whole words
      const size_t length = four ? (value + 1) / 2 : value;
      if (p + length > bytes.size()) return false;
      for (int i = 0; i < value; ++i, ++x) {
        put(image, h, x, y, four ? (i % 2 ? data[p + i / 2] & 0x0F : data[p + i / 2] >> 4) : data[p + i]);
      }
      p += length + (length & 1);
    }
  }
  return false;  // no end-of-bitmap mark
}

}  // namespace

Bitmap readRleBmpForCheck(const std::string& bytes, bool* notRle) {
  RleHeader h;
  *notRle = !readHeader(bytes, &h) || (h.compression != kBiRle8 && h.compression != kBiRle4);
  if (*notRle) return nullptr;
  Bitmap image = adoptBitmap(FreeImage_Allocate(h.width, h.height, 8));
  if (!image) return nullptr;
  RGBQUAD* palette = FreeImage_GetPalette(image.get());
  for (uint32_t i = 0; i < h.colours; ++i) {
    const size_t at = h.paletteStart + 4 * i;
    palette[i].rgbBlue = static_cast<BYTE>(bytes[at]);
    palette[i].rgbGreen = static_cast<BYTE>(bytes[at + 1]);
    palette[i].rgbRed = static_cast<BYTE>(bytes[at + 2]);
  }
  for (int y = 0; y < h.height; ++y) {
    std::fill_n(FreeImage_GetScanLine(image.get(), y), FreeImage_GetLine(image.get()), 0);
  }
  if (!decodeRuns(bytes, h, image.get())) return nullptr;
  return image;
}
