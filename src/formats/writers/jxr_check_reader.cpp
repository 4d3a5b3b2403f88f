#include "formats/writers/jxr_check_reader.h"

#include <cstring>

#include "formats/writers/jxr_decoder.h"

namespace {

struct Target {
  FREE_IMAGE_TYPE type;
  int bpp;
  unsigned red, green, blue;  // masks of 16-bit pixels
};

Target targetOf(JxrPixelFormat format) {
  switch (format) {
    case JxrPixelFormat::BlackWhite: return {FIT_BITMAP, 1, 0, 0, 0};
    case JxrPixelFormat::Gray8: return {FIT_BITMAP, 8, 0, 0, 0};
    case JxrPixelFormat::Rgb555:
      return {FIT_BITMAP, 16, FI16_555_RED_MASK, FI16_555_GREEN_MASK, FI16_555_BLUE_MASK};
    case JxrPixelFormat::Rgb565:
      return {FIT_BITMAP, 16, FI16_565_RED_MASK, FI16_565_GREEN_MASK, FI16_565_BLUE_MASK};
    case JxrPixelFormat::Rgb24: return {FIT_BITMAP, 24, 0, 0, 0};
    case JxrPixelFormat::Bgra32: return {FIT_BITMAP, 32, 0, 0, 0};
    case JxrPixelFormat::Rgb48: return {FIT_RGB16, 48, 0, 0, 0};
    case JxrPixelFormat::RgbFloat128: return {FIT_RGBF, 96, 0, 0, 0};
  }
  return {FIT_UNKNOWN, 0, 0, 0, 0};
}

// 1 bit: a set bit is white. 8 bits: a grey ramp.
void setPalette(FIBITMAP* image, int bpp) {
  RGBQUAD* palette = FreeImage_GetPalette(image);
  if (!palette) return;
  const int colours = 1 << bpp;
  for (int i = 0; i < colours; ++i) {
    const auto grey = static_cast<BYTE>(i * 255 / (colours - 1));
    palette[i].rgbRed = palette[i].rgbGreen = palette[i].rgbBlue = grey;
  }
}

// Every other format is stored as FreeImage keeps it: line bytes as they are.
void copyRow(JxrPixelFormat format, const uint8_t* source, BYTE* target, unsigned width,
             unsigned line) {
  switch (format) {
    case JxrPixelFormat::Rgb24:
      for (unsigned x = 0; x < width; ++x) {
        target[3 * x + FI_RGBA_RED] = source[3 * x];
        target[3 * x + FI_RGBA_GREEN] = source[3 * x + 1];
        target[3 * x + FI_RGBA_BLUE] = source[3 * x + 2];
      }
      return;
    case JxrPixelFormat::RgbFloat128:
      for (unsigned x = 0; x < width; ++x) std::memcpy(target + 12 * x, source + 16 * x, 12);
      return;
    default:
      std::memcpy(target, source, line);
      return;
  }
}

}  // namespace

Bitmap readJxrForCheck(const std::string& bytes) {
  JxrDecoded decoded;
  if (!decodeJxr(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &decoded)) return nullptr;
  const Target target = targetOf(decoded.format);
  Bitmap image = adoptBitmap(FreeImage_AllocateT(target.type, static_cast<int>(decoded.width),
                                                 static_cast<int>(decoded.height), target.bpp,
                                                 target.red, target.green, target.blue));
  if (!image) return nullptr;
  if (target.bpp <= 8) setPalette(image.get(), target.bpp);
  const unsigned line = FreeImage_GetLine(image.get());
  for (uint32_t y = 0; y < decoded.height; ++y) {
    const uint8_t* source = decoded.pixels.data() + static_cast<size_t>(y) * decoded.stride;
    BYTE* row = FreeImage_GetScanLine(image.get(), static_cast<int>(decoded.height - 1 - y));
    copyRow(decoded.format, source, row, decoded.width, line);
  }
  return image;
}
