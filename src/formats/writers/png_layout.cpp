#include "formats/writers/png_layout.h"

#include <cstring>

namespace {

constexpr uint8_t kGrey = 0;
constexpr uint8_t kRgb = 2;
constexpr uint8_t kPalette = 3;
constexpr uint8_t kRgba = 6;

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
      const bool alpha = FreeImage_GetColorType(image) == FIC_RGBALPHA;
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

void pngRow(FIBITMAP* image, const PngLayout& layout, uint32_t y, uint8_t* out) {
  const BYTE* in = FreeImage_GetScanLine(image, static_cast<int>(layout.height - 1 - y));
  const uint32_t width = layout.width;
  switch (layout.rows) {
    case PngLayout::Rows::kCopy:
      std::memcpy(out, in, layout.rowBytes);
      return;
    case PngLayout::Rows::kInvert:
      for (size_t i = 0; i < layout.rowBytes; ++i) out[i] = static_cast<uint8_t>(~in[i]);
      return;
    case PngLayout::Rows::kBgrToRgb:
      for (uint32_t x = 0; x < width; ++x, in += 3, out += 3) {
        out[0] = in[FI_RGBA_RED];
        out[1] = in[FI_RGBA_GREEN];
        out[2] = in[FI_RGBA_BLUE];
      }
      return;
    case PngLayout::Rows::kBgraToRgba:
      for (uint32_t x = 0; x < width; ++x, in += 4, out += 4) {
        out[0] = in[FI_RGBA_RED];
        out[1] = in[FI_RGBA_GREEN];
        out[2] = in[FI_RGBA_BLUE];
        out[3] = in[FI_RGBA_ALPHA];
      }
      return;
    case PngLayout::Rows::kBgraToRgb:
      for (uint32_t x = 0; x < width; ++x, in += 4, out += 3) {
        out[0] = in[FI_RGBA_RED];
        out[1] = in[FI_RGBA_GREEN];
        out[2] = in[FI_RGBA_BLUE];
      }
      return;
    case PngLayout::Rows::kWordsToBigEndian:
      for (size_t i = 0; i + 1 < layout.rowBytes; i += 2) {
        uint16_t word;
        std::memcpy(&word, in + i, 2);
        out[i] = static_cast<uint8_t>(word >> 8);
        out[i + 1] = static_cast<uint8_t>(word & 0xFF);
      }
      return;
  }
}
