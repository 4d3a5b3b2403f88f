#include "formats/writers/png_layout.h"

#include <libyuv/convert_from_argb.h>
#include <libyuv/cpu_id.h>
#include <libyuv/planar_functions.h>

#include <cstring>

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

// FreeImage keeps blue first where it stores BGR (little-endian machines),
// else red first; alpha is last either way. libyuv's "ARGB" is a little-endian
// word, that is blue, green, red, alpha in memory, and its "RAW" is red,
// green, blue: its converters turn such rows with the widest vectors the
// processor has.
constexpr bool kBgrOrder = FI_RGBA_RED == 2 && FI_RGBA_GREEN == 1 && FI_RGBA_BLUE == 0;
static_assert(FI_RGBA_ALPHA == 3, "alpha is the last byte of a 32-bit pixel");

// The library picks its converters on first use; that is done once here,
// before any two threads can race to do it.
int yuvRowWidth(uint32_t width) {
  static const int kCpuFlags = libyuv::InitCpuFlags();
  static_cast<void>(kCpuFlags);
  return static_cast<int>(width);
}

void bgrToRgb(const BYTE* in, BYTE* out, uint32_t width) {
  if (!kBgrOrder) {
    std::memcpy(out, in, 3 * static_cast<size_t>(width));
    return;
  }
  libyuv::RAWToRGB24(in, 0, out, 0, yuvRowWidth(width), 1);
}

void bgraToRgba(const BYTE* in, BYTE* out, uint32_t width) {
  if (!kBgrOrder) {
    std::memcpy(out, in, 4 * static_cast<size_t>(width));
    return;
  }
  libyuv::ARGBToABGR(in, 0, out, 0, yuvRowWidth(width), 1);
}

void bgraToRgb(const BYTE* in, BYTE* out, uint32_t width) {
  if (kBgrOrder) {
    libyuv::ARGBToRAW(in, 0, out, 0, yuvRowWidth(width), 1);
  } else {
    libyuv::ARGBToRGB24(in, 0, out, 0, yuvRowWidth(width), 1);
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
      std::memcpy(out, in, layout.rowBytes);
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
