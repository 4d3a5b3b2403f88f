#include "formats/writers/jxr_writer.h"

#include <cstring>
#include <vector>

#include "formats/library_messages.h"

#include "formats/writers/jxr_encoder.h"

namespace {

// What the encoder is handed: its pixel format and the pixels, top row first.
struct JxrPixels {
  JxrPixelFormat format = JxrPixelFormat::Rgb24;
  uint32_t stride = 0;
  std::vector<uint8_t> bytes;
};

// FreeImage keeps the bottom row first; JPEG XR wants the top row first.
template <typename RowFunction>
void fillRows(FIBITMAP* image, JxrPixels* pixels, RowFunction copyRow) {
  const unsigned width = FreeImage_GetWidth(image);
  const unsigned height = FreeImage_GetHeight(image);
  pixels->bytes.assign(static_cast<size_t>(pixels->stride) * height, 0);
  for (unsigned y = 0; y < height; ++y) {
    const BYTE* source = FreeImage_GetScanLine(image, static_cast<int>(height - 1 - y));
    copyRow(source, pixels->bytes.data() + static_cast<size_t>(y) * pixels->stride, width);
  }
}

bool isBlack(const RGBQUAD& colour) {
  return colour.rgbRed + colour.rgbGreen + colour.rgbBlue < 3 * 128;
}

bool isGreyPalette(FIBITMAP* image) {
  return FreeImage_GetColorType(image) == FIC_MINISBLACK;
}

// 1 bit: black-and-white, 0 is black (after the palette is applied).
void prepareBlackWhite(FIBITMAP* image, JxrPixels* pixels) {
  const RGBQUAD* palette = FreeImage_GetPalette(image);
  const bool zeroIsBlack = palette ? isBlack(palette[0]) : true;
  const bool oneIsBlack = palette ? isBlack(palette[1]) : false;
  pixels->format = JxrPixelFormat::BlackWhite;
  pixels->stride = (FreeImage_GetWidth(image) + 7) / 8;
  fillRows(image, pixels, [&](const BYTE* source, uint8_t* target, unsigned width) {
    for (unsigned x = 0; x < width; ++x) {
      const bool set = (source[x / 8] >> (7 - x % 8)) & 1;
      const bool black = set ? oneIsBlack : zeroIsBlack;
      if (!black) target[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
  });
}

void prepareGrey(FIBITMAP* image, JxrPixels* pixels) {
  pixels->format = JxrPixelFormat::Gray8;
  pixels->stride = FreeImage_GetWidth(image);
  fillRows(image, pixels, [](const BYTE* source, uint8_t* target, unsigned width) {
    std::memcpy(target, source, width);
  });
}

// Palette images other than grey ramps, and 24-bit ones: RGB bytes.
void prepareRgb(FIBITMAP* image, JxrPixels* pixels) {
  const unsigned bpp = FreeImage_GetBPP(image);
  const RGBQUAD* palette = FreeImage_GetPalette(image);
  pixels->format = JxrPixelFormat::Rgb24;
  pixels->stride = FreeImage_GetWidth(image) * 3;
  fillRows(image, pixels, [&](const BYTE* source, uint8_t* target, unsigned width) {
    for (unsigned x = 0; x < width; ++x, target += 3) {
      if (bpp == 24) {
        target[0] = source[3 * x + FI_RGBA_RED];
        target[1] = source[3 * x + FI_RGBA_GREEN];
        target[2] = source[3 * x + FI_RGBA_BLUE];
      } else {
        const unsigned index = bpp == 8 ? source[x] : (source[x / 2] >> (x % 2 ? 0 : 4)) & 0xF;
        target[0] = palette[index].rgbRed;
        target[1] = palette[index].rgbGreen;
        target[2] = palette[index].rgbBlue;
      }
    }
  });
}

// FreeImage's 32-bit layout is B, G, R, A in memory, as the encoder's BGRA.
void prepareBgra(FIBITMAP* image, JxrPixels* pixels) {
  pixels->format = JxrPixelFormat::Bgra32;
  pixels->stride = FreeImage_GetWidth(image) * 4;
  fillRows(image, pixels, [](const BYTE* source, uint8_t* target, unsigned width) {
    std::memcpy(target, source, static_cast<size_t>(width) * 4);
  });
}

void prepareSixteenBits(FIBITMAP* image, JxrPixels* pixels) {
  const bool is565 = FreeImage_GetGreenMask(image) == FI16_565_GREEN_MASK;
  pixels->format = is565 ? JxrPixelFormat::Rgb565 : JxrPixelFormat::Rgb555;
  pixels->stride = FreeImage_GetWidth(image) * 2;
  fillRows(image, pixels, [](const BYTE* source, uint8_t* target, unsigned width) {
    std::memcpy(target, source, static_cast<size_t>(width) * 2);
  });
}

void prepareRgb16(FIBITMAP* image, JxrPixels* pixels) {
  pixels->format = JxrPixelFormat::Rgb48;
  pixels->stride = FreeImage_GetWidth(image) * 6;
  fillRows(image, pixels, [](const BYTE* source, uint8_t* target, unsigned width) {
    std::memcpy(target, source, static_cast<size_t>(width) * 6);
  });
}

// The encoder takes float RGB only with a fourth, unused channel.
void prepareRgbFloat(FIBITMAP* image, JxrPixels* pixels) {
  pixels->format = JxrPixelFormat::RgbFloat128;
  pixels->stride = FreeImage_GetWidth(image) * 16;
  fillRows(image, pixels, [](const BYTE* source, uint8_t* target, unsigned width) {
    for (unsigned x = 0; x < width; ++x) std::memcpy(target + 16 * x, source + 12 * x, 12);
  });
}

bool preparePixels(FIBITMAP* image, JxrPixels* pixels) {
  const FREE_IMAGE_TYPE type = FreeImage_GetImageType(image);
  if (type == FIT_RGB16) return prepareRgb16(image, pixels), true;
  if (type == FIT_RGBF) return prepareRgbFloat(image, pixels), true;
  if (type != FIT_BITMAP) return false;
  switch (FreeImage_GetBPP(image)) {
    case 1: prepareBlackWhite(image, pixels); return true;
    case 4: prepareRgb(image, pixels); return true;
    case 8:
      isGreyPalette(image) ? prepareGrey(image, pixels) : prepareRgb(image, pixels);
      return true;
    case 16: prepareSixteenBits(image, pixels); return true;
    case 24: prepareRgb(image, pixels); return true;
    case 32: prepareBgra(image, pixels); return true;
    default: return false;
  }
}

// The encoder codes macroblocks of 16 x 16 pixels and needs at least one.
constexpr unsigned kMinimumSide = 16;

}  // namespace

bool encodeJxrImage(FIBITMAP* image, OutputBytes* out) {
  if (!image) return false;
  const unsigned width = FreeImage_GetWidth(image);
  const unsigned height = FreeImage_GetHeight(image);
  if (width < kMinimumSide || height < kMinimumSide) {
    recordLibraryMessage("JPEG XR needs an image of at least 16 x 16 pixels");
    return false;
  }
  JxrPixels pixels;
  if (!preparePixels(image, &pixels)) return false;
  return encodeJxr(pixels.format, width, height, pixels.stride, pixels.bytes.data(), out);
}
