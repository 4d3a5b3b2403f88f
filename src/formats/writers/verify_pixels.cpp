#include "formats/writers/verify_pixels.h"

namespace {

constexpr float kOpaque = 1.0f;

float fromByte(unsigned value) { return static_cast<float>(value * 257u) / 65535.0f; }
float fromWord(unsigned value) { return static_cast<float>(value) / 65535.0f; }

// A 5- or 6-bit field widened to 8 bits as readers commonly do.
unsigned widen5(unsigned v) { return (v << 3) | (v >> 2); }
unsigned widen6(unsigned v) { return (v << 2) | (v >> 4); }

void put(float* pixel, float r, float g, float b, float a) {
  pixel[0] = r;
  pixel[1] = g;
  pixel[2] = b;
  pixel[3] = a;
}

unsigned paletteIndex(const BYTE* line, unsigned x, unsigned bpp) {
  if (bpp == 8) return line[x];
  if (bpp == 4) return (line[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
  return (line[x / 8] >> (7 - x % 8)) & 1;
}

void readPaletteRow(FIBITMAP* image, const BYTE* line, unsigned width, float* out) {
  const unsigned bpp = FreeImage_GetBPP(image);
  const RGBQUAD* palette = FreeImage_GetPalette(image);
  const unsigned colours = FreeImage_GetColorsUsed(image);
  const BYTE* transparency = FreeImage_GetTransparencyTable(image);
  const unsigned transparent = transparency ? FreeImage_GetTransparencyCount(image) : 0;
  for (unsigned x = 0; x < width; ++x, out += 4) {
    const unsigned index = paletteIndex(line, x, bpp);
    const float alpha = index < transparent ? fromByte(transparency[index]) : kOpaque;
    if (!palette || index >= colours) {
      put(out, fromByte(index), fromByte(index), fromByte(index), alpha);
    } else {
      const RGBQUAD& c = palette[index];
      put(out, fromByte(c.rgbRed), fromByte(c.rgbGreen), fromByte(c.rgbBlue), alpha);
    }
  }
}

void readSixteenBitRow(FIBITMAP* image, const BYTE* line, unsigned width, float* out) {
  const bool is565 = FreeImage_GetGreenMask(image) == FI16_565_GREEN_MASK;
  for (unsigned x = 0; x < width; ++x, out += 4) {
    const unsigned v = line[2 * x] | line[2 * x + 1] << 8;
    if (is565) {
      put(out, fromByte(widen5(v >> 11)), fromByte(widen6((v >> 5) & 0x3F)),
          fromByte(widen5(v & 0x1F)), kOpaque);
    } else {
      put(out, fromByte(widen5((v >> 10) & 0x1F)), fromByte(widen5((v >> 5) & 0x1F)),
          fromByte(widen5(v & 0x1F)), kOpaque);
    }
  }
}

void readBitmapRow(FIBITMAP* image, const BYTE* line, unsigned width, float* out) {
  const unsigned bpp = FreeImage_GetBPP(image);
  if (bpp <= 8) return readPaletteRow(image, line, width, out);
  if (bpp == 16) return readSixteenBitRow(image, line, width, out);
  const unsigned step = bpp / 8;
  for (unsigned x = 0; x < width; ++x, out += 4, line += step) {
    put(out, fromByte(line[FI_RGBA_RED]), fromByte(line[FI_RGBA_GREEN]),
        fromByte(line[FI_RGBA_BLUE]), step == 4 ? fromByte(line[FI_RGBA_ALPHA]) : kOpaque);
  }
}

}  // namespace

PixelTraits pixelTraitsOf(FIBITMAP* image) {
  PixelTraits traits;
  if (!image) return traits;
  const unsigned bpp = FreeImage_GetBPP(image);
  switch (FreeImage_GetImageType(image)) {
    case FIT_BITMAP:
      traits.known = bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
      break;
    case FIT_UINT16:
    case FIT_RGB16:
    case FIT_RGBA16:
      traits.known = true;
      break;
    case FIT_FLOAT:
    case FIT_RGBF:
    case FIT_RGBAF:
      traits.known = traits.floats = true;
      break;
    default:
      break;
  }
  return traits;
}

void readRgbaRow(FIBITMAP* image, unsigned rowFromTop, std::vector<float>& rgba) {
  const unsigned width = FreeImage_GetWidth(image);
  const unsigned height = FreeImage_GetHeight(image);
  rgba.assign(static_cast<size_t>(width) * 4, 0.0f);
  const BYTE* line = FreeImage_GetScanLine(image, static_cast<int>(height - 1 - rowFromTop));
  float* out = rgba.data();
  switch (FreeImage_GetImageType(image)) {
    case FIT_BITMAP:
      return readBitmapRow(image, line, width, out);
    case FIT_UINT16: {
      const auto* p = reinterpret_cast<const WORD*>(line);
      for (unsigned x = 0; x < width; ++x, out += 4) put(out, fromWord(p[x]), fromWord(p[x]), fromWord(p[x]), kOpaque);
      return;
    }
    case FIT_RGB16: {
      const auto* p = reinterpret_cast<const FIRGB16*>(line);
      for (unsigned x = 0; x < width; ++x, out += 4) {
        put(out, fromWord(p[x].red), fromWord(p[x].green), fromWord(p[x].blue), kOpaque);
      }
      return;
    }
    case FIT_RGBA16: {
      const auto* p = reinterpret_cast<const FIRGBA16*>(line);
      for (unsigned x = 0; x < width; ++x, out += 4) {
        put(out, fromWord(p[x].red), fromWord(p[x].green), fromWord(p[x].blue), fromWord(p[x].alpha));
      }
      return;
    }
    case FIT_FLOAT: {
      const auto* p = reinterpret_cast<const float*>(line);
      for (unsigned x = 0; x < width; ++x, out += 4) put(out, p[x], p[x], p[x], kOpaque);
      return;
    }
    case FIT_RGBF: {
      const auto* p = reinterpret_cast<const FIRGBF*>(line);
      for (unsigned x = 0; x < width; ++x, out += 4) put(out, p[x].red, p[x].green, p[x].blue, kOpaque);
      return;
    }
    case FIT_RGBAF: {
      const auto* p = reinterpret_cast<const FIRGBAF*>(line);
      for (unsigned x = 0; x < width; ++x, out += 4) put(out, p[x].red, p[x].green, p[x].blue, p[x].alpha);
      return;
    }
    default:
      return;
  }
}
