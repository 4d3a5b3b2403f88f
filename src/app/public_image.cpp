#include "app/public_image.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

namespace pellucid {

size_t sampleBytes(SampleType type) {
  switch (type) {
    case SampleType::kUint8: return 1;
    case SampleType::kUint16: return 2;
    case SampleType::kFloat32: return 4;
  }
  return 1;
}

Image::Image() = default;
Image::~Image() = default;

Image::Image(Image&& other) noexcept
    : storage_(std::move(other.storage_)),
      width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)),
      channels_(std::exchange(other.channels_, 0)),
      sampleType_(other.sampleType_),
      rowBytes_(std::exchange(other.rowBytes_, 0)),
      pixels_(std::exchange(other.pixels_, nullptr)) {}

Image& Image::operator=(Image&& other) noexcept {
  if (this != &other) {
    storage_ = std::move(other.storage_);
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
    channels_ = std::exchange(other.channels_, 0);
    sampleType_ = other.sampleType_;
    rowBytes_ = std::exchange(other.rowBytes_, 0);
    pixels_ = std::exchange(other.pixels_, nullptr);
  }
  return *this;
}

}  // namespace pellucid

bool describeDecodedBitmap(FIBITMAP* bitmap, int* channels, pellucid::SampleType* sampleType) {
  using pellucid::SampleType;
  const unsigned bpp = FreeImage_GetBPP(bitmap);
  switch (FreeImage_GetImageType(bitmap)) {
    case FIT_BITMAP:
      if (bpp != 8 && bpp != 24 && bpp != 32) return false;
      *channels = static_cast<int>(bpp / 8);
      *sampleType = SampleType::kUint8;
      return true;
    case FIT_RGB16: *channels = 3; *sampleType = SampleType::kUint16; return true;
    case FIT_RGBA16: *channels = 4; *sampleType = SampleType::kUint16; return true;
    case FIT_RGBF: *channels = 3; *sampleType = SampleType::kFloat32; return true;
    case FIT_RGBAF: *channels = 4; *sampleType = SampleType::kFloat32; return true;
    default: return false;
  }
}

namespace {

// Blue and red exchanged in each of the two 4-byte pixels of a word (blue
// in the low byte of each).
inline uint64_t swapRedBlue(uint64_t pair) {
  return (pair & 0xFF00FF00FF00FF00u) | ((pair >> 16) & 0x000000FF000000FFu) |
         ((pair & 0x000000FF000000FFu) << 16);
}

// Two rows of 32-bit pixels change places, each pixel's red and blue
// exchanged on the way; a and b may be the same row. Two pixels per step.
void swapRows32(uint8_t* a, uint8_t* b, uint32_t width) {
  uint32_t x = 0;
  for (; x + 2 <= width; x += 2) {
    uint64_t first;
    uint64_t second;
    std::memcpy(&first, a + 4 * x, 8);
    std::memcpy(&second, b + 4 * x, 8);
    first = swapRedBlue(first);
    second = swapRedBlue(second);
    std::memcpy(a + 4 * x, &second, 8);
    std::memcpy(b + 4 * x, &first, 8);
  }
  if (x < width) {
    uint64_t first = 0;
    uint64_t second = 0;
    std::memcpy(&first, a + 4 * x, 4);
    std::memcpy(&second, b + 4 * x, 4);
    first = swapRedBlue(first);
    second = swapRedBlue(second);
    std::memcpy(a + 4 * x, &second, 4);
    std::memcpy(b + 4 * x, &first, 4);
  }
}

void swapRows24(uint8_t* a, uint8_t* b, uint32_t width) {
  for (uint32_t x = 0; x < width; ++x) {
    uint8_t* p = a + 3 * x;
    uint8_t* q = b + 3 * x;
    const uint8_t p0 = p[0], p1 = p[1], p2 = p[2];
    p[0] = q[2];
    p[1] = q[1];
    p[2] = q[0];
    q[0] = p2;
    q[1] = p1;
    q[2] = p0;
  }
}

// The middle row of an odd height meets itself: only its colour turns.
void turnRow24(uint8_t* row, uint32_t width) {
  for (uint32_t x = 0; x < width; ++x) std::swap(row[3 * x], row[3 * x + 2]);
}

void swapRowsPlain(uint8_t* a, uint8_t* b, size_t bytes) { std::swap_ranges(a, a + bytes, b); }

}  // namespace

void arrangeForPublicImage(FIBITMAP* bitmap) {
  const uint32_t width = FreeImage_GetWidth(bitmap);
  const uint32_t height = FreeImage_GetHeight(bitmap);
  const size_t pitch = FreeImage_GetPitch(bitmap);
  const size_t lineBytes = FreeImage_GetLine(bitmap);
  const bool colour8 = FreeImage_GetImageType(bitmap) == FIT_BITMAP && FreeImage_GetBPP(bitmap) >= 24;
  const bool words = FreeImage_GetBPP(bitmap) == 32;
  uint8_t* bits = FreeImage_GetBits(bitmap);
  for (uint32_t y = 0; y < height / 2; ++y) {
    uint8_t* top = bits + y * pitch;
    uint8_t* bottom = bits + (height - 1 - y) * pitch;
    if (!colour8) {
      swapRowsPlain(top, bottom, lineBytes);
    } else if (words) {
      swapRows32(top, bottom, width);
    } else {
      swapRows24(top, bottom, width);
    }
  }
  if (colour8 && height % 2 == 1) {
    uint8_t* middle = bits + (height / 2) * pitch;
    if (words) {
      swapRows32(middle, middle, width);
    } else {
      turnRow24(middle, width);
    }
  }
}
