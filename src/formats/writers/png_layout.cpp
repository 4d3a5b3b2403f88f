#include "formats/writers/png_layout.h"

#include <bit>
#include <cstring>
#include <utility>

namespace {

constexpr uint8_t kGrey = 0;
constexpr uint8_t kRgb = 2;
constexpr uint8_t kPalette = 3;
constexpr uint8_t kRgba = 6;

// True when some pixel of a 32-bit bitmap is not opaque (FreeImage's
// FIC_RGBALPHA test, without its call per pixel). The pixels of a row are
// and-ed together as words, a loop the compiler vectorizes, and the alpha
// byte of the result tells.
bool hasVisibleAlpha(FIBITMAP* image) {
  const unsigned width = FreeImage_GetWidth(image);
  const unsigned height = FreeImage_GetHeight(image);
  for (unsigned y = 0; y < height; ++y) {
    const BYTE* row = FreeImage_GetScanLine(image, static_cast<int>(y));
    uint32_t all = 0xFFFFFFFFu;
    for (unsigned x = 0; x < width; ++x) {
      uint32_t pixel;
      std::memcpy(&pixel, row + 4 * static_cast<size_t>(x), 4);
      all &= pixel;
    }
    BYTE bytes[4];
    std::memcpy(bytes, &all, 4);
    if (bytes[FI_RGBA_ALPHA] != 0xFF) return true;
  }
  return false;
}

// The row conversions, from a row to a PNG row that may be the same memory
// (in place): each output pixel is no wider than its input pixel, and each
// step reads its pixels before it writes, so writing left to right never
// overtakes reading. Bitmaps keep blue first where FreeImage stores BGR
// (little-endian machines); the 32-bit cases work on whole pixels there, in
// loops the compiler vectorizes.
constexpr bool kBgrOrder = FI_RGBA_RED == 2 && FI_RGBA_GREEN == 1 && FI_RGBA_BLUE == 0;
constexpr bool kWordsBgra = kBgrOrder && FI_RGBA_ALPHA == 3 && std::endian::native == std::endian::little;

void bgrToRgb(const BYTE* in, BYTE* out, uint32_t width) {
  for (uint32_t x = 0; x < width; ++x, in += 3, out += 3) {
    const BYTE red = in[FI_RGBA_RED], green = in[FI_RGBA_GREEN], blue = in[FI_RGBA_BLUE];
    out[0] = red;
    out[1] = green;
    out[2] = blue;
  }
}

void bgraToRgba(const BYTE* in, BYTE* out, uint32_t width) {
  if (!kWordsBgra) {
    for (uint32_t x = 0; x < width; ++x, in += 4, out += 4) {
      const BYTE red = in[FI_RGBA_RED], green = in[FI_RGBA_GREEN], blue = in[FI_RGBA_BLUE],
                 alpha = in[FI_RGBA_ALPHA];
      out[0] = red;
      out[1] = green;
      out[2] = blue;
      out[3] = alpha;
    }
    return;
  }
  // As a little-endian word a BGRA pixel is 0xAARRGGBB; RGBA is 0xAABBGGRR.
  for (size_t x = 0; x < width; ++x) {
    uint32_t pixel;
    std::memcpy(&pixel, in + 4 * x, 4);
    pixel = (pixel & 0xFF00FF00u) | ((pixel >> 16) & 0xFFu) | ((pixel & 0xFFu) << 16);
    std::memcpy(out + 4 * x, &pixel, 4);
  }
}

// Four pixels at a time: sixteen bytes read as words, twelve stored; in
// place the stores end where the next four pixels begin at the latest
// (3x + 12 <= 4x + 16), so they never reach a pixel not yet read.
void bgraToRgb(const BYTE* in, BYTE* out, uint32_t width) {
  size_t x = 0;
  if (kWordsBgra) {
    for (; x + 4 <= width; x += 4) {
      uint64_t low, high;  // pixels 0 and 1, pixels 2 and 3
      std::memcpy(&low, in + 4 * x, 8);
      std::memcpy(&high, in + 4 * x + 8, 8);
      // Each 0xAARRGGBB becomes 0x00BBGGRR: its three bytes in file order.
      const auto turn = [](uint64_t pair) {
        return (pair & 0x0000FF000000FF00u) | ((pair >> 16) & 0x000000FF000000FFu) |
               ((pair & 0x000000FF000000FFu) << 16);
      };
      low = turn(low);
      high = turn(high);
      const uint64_t first = (low & 0xFFFFFFu) | ((low >> 8) & 0xFFFFFF000000u) | (high << 48);
      const auto last = static_cast<uint32_t>(((high >> 16) & 0xFFu) | (((high >> 32) & 0xFFFFFFu) << 8));
      std::memcpy(out + 3 * x, &first, 8);
      std::memcpy(out + 3 * x + 8, &last, 4);
    }
  }
  for (; x < width; ++x) {
    const BYTE* pixel = in + 4 * x;
    const BYTE red = pixel[FI_RGBA_RED], green = pixel[FI_RGBA_GREEN], blue = pixel[FI_RGBA_BLUE];
    out[3 * x] = red;
    out[3 * x + 1] = green;
    out[3 * x + 2] = blue;
  }
}

void wordsToBigEndian(const BYTE* in, BYTE* out, size_t bytes) {
  for (size_t i = 0; i + 1 < bytes; i += 2) {
    uint16_t word;
    std::memcpy(&word, in + i, 2);
    out[i] = static_cast<uint8_t>(word >> 8);
    out[i + 1] = static_cast<uint8_t>(word & 0xFF);
  }
}

void setColorTable(FIBITMAP* image, PngLayout* layout) {
  const RGBQUAD* colors = FreeImage_GetPalette(image);
  const unsigned entries = 1u << layout->bitDepth;
  for (unsigned i = 0; i < entries; ++i) {
    const char rgb[3] = {static_cast<char>(colors[i].rgbRed), static_cast<char>(colors[i].rgbGreen),
                         static_cast<char>(colors[i].rgbBlue)};
    layout->palette.append(rgb, 3);
  }
}

// Colour type and row conversion of a 1, 4 or 8-bit bitmap.
bool indexedLayout(FIBITMAP* image, PngLayout* layout) {
  const bool transparent =
      FreeImage_IsTransparent(image) && FreeImage_GetTransparencyCount(image) > 0;
  const FREE_IMAGE_COLOR_TYPE color = FreeImage_GetColorType(image);
  if (!transparent && (color == FIC_MINISBLACK || color == FIC_MINISWHITE)) {
    layout->colorType = kGrey;
    if (color == FIC_MINISWHITE) layout->rows = PngLayout::Rows::kInvert;
    return true;
  }
  if (!FreeImage_GetPalette(image)) return false;
  layout->colorType = kPalette;
  setColorTable(image, layout);
  if (transparent) {
    layout->transparency.assign(reinterpret_cast<const char*>(FreeImage_GetTransparencyTable(image)),
                                FreeImage_GetTransparencyCount(image));
  }
  return true;
}

bool bitmapLayout(FIBITMAP* image, uint32_t bpp, PngLayout* layout) {
  switch (bpp) {
    case 1:
    case 4:
    case 8:
      layout->bitDepth = static_cast<uint8_t>(bpp);
      return indexedLayout(image, layout);
    case 24:
      layout->colorType = kRgb;
      layout->rows = PngLayout::Rows::kBgrToRgb;
      return true;
    case 32: {
      // FreeImage's colour type test, but for its test of the pixels.
      FIICCPROFILE* profile = FreeImage_GetICCProfile(image);
      if (profile && (profile->flags & FIICC_COLOR_IS_CMYK)) return false;
      const bool alpha = hasVisibleAlpha(image);
      layout->colorType = alpha ? kRgba : kRgb;
      layout->rows = alpha ? PngLayout::Rows::kBgraToRgba : PngLayout::Rows::kBgraToRgb;
      return true;
    }
    default:
      return false;
  }
}

bool wordLayout(FREE_IMAGE_TYPE type, PngLayout* layout) {
  layout->bitDepth = 16;
  layout->rows = PngLayout::Rows::kWordsToBigEndian;
  if (type == FIT_UINT16) layout->colorType = kGrey;
  else if (type == FIT_RGB16) layout->colorType = kRgb;
  else if (type == FIT_RGBA16) layout->colorType = kRgba;
  else return false;
  return true;
}

uint32_t samplesPerPixel(uint8_t colorType) {
  return colorType == kRgb ? 3 : colorType == kRgba ? 4 : 1;
}

}  // namespace

bool pngLayoutOf(FIBITMAP* image, PngLayout* layout) {
  *layout = PngLayout{};
  if (!image || !FreeImage_HasPixels(image)) return false;
  layout->width = FreeImage_GetWidth(image);
  layout->height = FreeImage_GetHeight(image);
  if (layout->width == 0 || layout->height == 0) return false;
  const FREE_IMAGE_TYPE type = FreeImage_GetImageType(image);
  const bool known = type == FIT_BITMAP ? bitmapLayout(image, FreeImage_GetBPP(image), layout)
                                        : wordLayout(type, layout);
  if (!known) return false;
  layout->bitsPerPixel = samplesPerPixel(layout->colorType) * layout->bitDepth;
  layout->pixelBytes = layout->bitsPerPixel < 8 ? 1 : layout->bitsPerPixel / 8;
  layout->rowBytes = (static_cast<size_t>(layout->width) * layout->bitsPerPixel + 7) / 8;
  layout->dotsPerMeterX = FreeImage_GetDotsPerMeterX(image);
  layout->dotsPerMeterY = FreeImage_GetDotsPerMeterY(image);
  return true;
}

void convertPngRow(const BYTE* in, BYTE* out, const PngLayout& layout) {
  switch (layout.rows) {
    case PngLayout::Rows::kCopy:
      if (out != in) std::memcpy(out, in, layout.rowBytes);
      return;
    case PngLayout::Rows::kInvert:
      for (size_t i = 0; i < layout.rowBytes; ++i) out[i] = static_cast<BYTE>(~in[i]);
      return;
    case PngLayout::Rows::kBgrToRgb:
      bgrToRgb(in, out, layout.width);
      return;
    case PngLayout::Rows::kBgraToRgba:
      bgraToRgba(in, out, layout.width);
      return;
    case PngLayout::Rows::kBgraToRgb:
      bgraToRgb(in, out, layout.width);
      return;
    case PngLayout::Rows::kWordsToBigEndian:
      wordsToBigEndian(in, out, layout.rowBytes);
      return;
  }
}

void convertToPngRows(FIBITMAP* image, const PngLayout& layout) {
  for (uint32_t y = 0; y < layout.height; ++y) {
    BYTE* row = FreeImage_GetScanLine(image, static_cast<int>(y));
    convertPngRow(row, row, layout);
  }
}
