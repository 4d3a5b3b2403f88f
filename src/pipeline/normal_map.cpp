#include "pipeline/normal_map.h"

#include <algorithm>
#include <cmath>

namespace {

// Maps stored channel values to -1..1 and back for one kind of image.
struct ChannelScale {
  float top = 255.0f;  // largest stored value; 0 for float images
  float steps = 0.0f;  // a signed format's steps per unit (127 or 32767); 0 when unsigned

  float toUnit(float stored) const {
    if (top == 0.0f) return stored;
    const float unit = 2.0f * stored / top - 1.0f;
    return steps > 0.0f ? std::round(unit * steps) / steps : unit;
  }
  float fromUnit(float z) const { return top == 0.0f ? z : std::round((z + 1.0f) / 2.0f * top); }
};

float normalZ(float x, float y) { return std::sqrt(std::max(0.0f, 1.0f - x * x - y * y)); }

// True when every pixel's red byte has the same value (a DXT5 normal map
// that moved x to alpha leaves red empty).
bool redIsEmpty(FIBITMAP* image, unsigned width, unsigned height) {
  const BYTE first = FreeImage_GetScanLine(image, 0)[FI_RGBA_RED];
  for (unsigned y = 0; y < height; ++y) {
    const BYTE* pixel = FreeImage_GetScanLine(image, static_cast<int>(y));
    for (unsigned x = 0; x < width; ++x, pixel += 4) {
      if (pixel[FI_RGBA_RED] != first) return false;
    }
  }
  return true;
}

void rebuildBytes(FIBITMAP* image, const ChannelScale& scale, bool xInAlpha) {
  const unsigned width = FreeImage_GetWidth(image);
  const unsigned height = FreeImage_GetHeight(image);
  const unsigned step = FreeImage_GetBPP(image) / 8;
  for (unsigned y = 0; y < height; ++y) {
    BYTE* pixel = FreeImage_GetScanLine(image, static_cast<int>(y));
    for (unsigned x = 0; x < width; ++x, pixel += step) {
      if (xInAlpha) {
        pixel[FI_RGBA_RED] = pixel[FI_RGBA_ALPHA];
        pixel[FI_RGBA_ALPHA] = 255;
      }
      const float z = normalZ(scale.toUnit(pixel[FI_RGBA_RED]), scale.toUnit(pixel[FI_RGBA_GREEN]));
      pixel[FI_RGBA_BLUE] = static_cast<BYTE>(scale.fromUnit(z));
    }
  }
}

// Pixel is FIRGB16, FIRGBA16, FIRGBF or FIRGBAF.
template <typename Pixel, typename Value>
void rebuildChannels(FIBITMAP* image, const ChannelScale& scale) {
  const unsigned width = FreeImage_GetWidth(image);
  const unsigned height = FreeImage_GetHeight(image);
  for (unsigned y = 0; y < height; ++y) {
    Pixel* pixel = reinterpret_cast<Pixel*>(FreeImage_GetScanLine(image, static_cast<int>(y)));
    for (unsigned x = 0; x < width; ++x, ++pixel) {
      const float z = normalZ(scale.toUnit(static_cast<float>(pixel->red)),
                              scale.toUnit(static_cast<float>(pixel->green)));
      pixel->blue = static_cast<Value>(scale.fromUnit(z));
    }
  }
}

}  // namespace

bool wantsNormalRebuild(NormalMapMode mode, const DdsImageFacts& facts) {
  if (mode == NormalMapMode::kOn) return true;
  if (mode != NormalMapMode::kAuto) return false;
  return facts.encoding == DdsEncoding::Bc5 || facts.encoding == DdsEncoding::Bc5Signed ||
         facts.normalMapFlag;
}

Bitmap rebuildNormalZ(Bitmap image, const DdsImageFacts& facts) {
  if (!image) return image;
  FIBITMAP* bitmap = image.get();
  const unsigned bpp = FreeImage_GetBPP(bitmap);
  switch (FreeImage_GetImageType(bitmap)) {
    case FIT_BITMAP: {
      if (bpp != 24 && bpp != 32) break;
      const bool xInAlpha = bpp == 32 && facts.encoding == DdsEncoding::Bc3 && facts.normalMapFlag &&
                            redIsEmpty(bitmap, FreeImage_GetWidth(bitmap), FreeImage_GetHeight(bitmap));
      rebuildBytes(bitmap, {255.0f, facts.signedChannels ? 127.0f : 0.0f}, xInAlpha);
      break;
    }
    case FIT_RGB16:
      rebuildChannels<FIRGB16, WORD>(bitmap, {65535.0f, facts.signedChannels ? 32767.0f : 0.0f});
      break;
    case FIT_RGBA16:
      rebuildChannels<FIRGBA16, WORD>(bitmap, {65535.0f, facts.signedChannels ? 32767.0f : 0.0f});
      break;
    case FIT_RGBF: rebuildChannels<FIRGBF, float>(bitmap, {0.0f, 0.0f}); break;
    case FIT_RGBAF: rebuildChannels<FIRGBAF, float>(bitmap, {0.0f, 0.0f}); break;
    default: break;
  }
  return image;
}
