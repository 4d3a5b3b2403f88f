#include "pipeline/depth.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "formats/format_tables.h"

namespace {

// The table row of the output format; formats outside the table take the
// plain conversions (5-6-5 and a palette).
const OutputFormat& formatRow(const std::string& extension) {
  static const OutputFormat kPlain;
  const OutputFormat* format = findOutputFormat(extension);
  return format ? *format : kPlain;
}

FIBITMAP* toSixteenBits(FIBITMAP* image, const std::string& extension) {
  Bitmap wide;
  if (FreeImage_GetBPP(image) > 32) {
    wide = adoptBitmap(FreeImage_ConvertTo24Bits(image));
    if (!wide) return nullptr;
    image = wide.get();
  }
  return formatRow(extension).sixteenBits == SixteenBitLayout::k555
             ? FreeImage_ConvertTo16Bits555(image)
             : FreeImage_ConvertTo16Bits565(image);
}

FIBITMAP* toEightBits(FIBITMAP* image, const std::string& extension) {
  if (formatRow(extension).eightBits != EightBitContent::kPalette) return FreeImage_ConvertTo8Bits(image);
  Bitmap rgb;
  if (FreeImage_GetBPP(image) != 24 || FreeImage_GetImageType(image) != FIT_BITMAP) {
    rgb = adoptBitmap(FreeImage_ConvertTo24Bits(image));
    if (!rgb) return nullptr;
    image = rgb.get();
  }
  return FreeImage_ColorQuantizeEx(image, FIQ_WUQUANT, 256, 0, nullptr);
}

// Drops the alpha channel of an RGBA float image and keeps every colour value
// as it is. FreeImage_ConvertToRGBF clamps each channel to 0..1 on the way,
// which would lose the range of HDR textures written to float formats.
FIBITMAP* dropFloatAlpha(FIBITMAP* image) {
  const unsigned width = FreeImage_GetWidth(image);
  const unsigned height = FreeImage_GetHeight(image);
  FIBITMAP* out = FreeImage_AllocateT(FIT_RGBF, static_cast<int>(width), static_cast<int>(height));
  if (!out) return nullptr;
  for (unsigned y = 0; y < height; ++y) {
    const auto* in = reinterpret_cast<const FIRGBAF*>(FreeImage_GetScanLine(image, static_cast<int>(y)));
    auto* row = reinterpret_cast<FIRGBF*>(FreeImage_GetScanLine(out, static_cast<int>(y)));
    for (unsigned x = 0; x < width; ++x) row[x] = FIRGBF{in[x].red, in[x].green, in[x].blue};
  }
  return out;
}

FIBITMAP* toFloatRgb(FIBITMAP* image) {
  if (FreeImage_GetImageType(image) == FIT_RGBAF) return dropFloatAlpha(image);
  return FreeImage_ConvertToRGBF(image);
}

// Gives a float RGB image an opaque alpha channel and keeps every colour
// value; FreeImage_ConvertToRGBAF would clamp them to 0..1.
FIBITMAP* addFloatAlpha(FIBITMAP* image) {
  const unsigned width = FreeImage_GetWidth(image);
  const unsigned height = FreeImage_GetHeight(image);
  FIBITMAP* out = FreeImage_AllocateT(FIT_RGBAF, static_cast<int>(width), static_cast<int>(height));
  if (!out) return nullptr;
  for (unsigned y = 0; y < height; ++y) {
    const auto* in = reinterpret_cast<const FIRGBF*>(FreeImage_GetScanLine(image, static_cast<int>(y)));
    auto* row = reinterpret_cast<FIRGBAF*>(FreeImage_GetScanLine(out, static_cast<int>(y)));
    for (unsigned x = 0; x < width; ++x) row[x] = FIRGBAF{in[x].red, in[x].green, in[x].blue, 1.0f};
  }
  return out;
}

FIBITMAP* toFloatRgba(FIBITMAP* image) {
  if (FreeImage_GetImageType(image) == FIT_RGBF) return addFloatAlpha(image);
  return FreeImage_ConvertToRGBAF(image);
}

FIBITMAP* convertTo(FIBITMAP* image, int32_t depth, const std::string& extension) {
  switch (depth) {
    case 128: return toFloatRgba(image);
    case 96: return toFloatRgb(image);
    case 48: return FreeImage_ConvertToRGB16(image);
    case 32: return FreeImage_ConvertTo32Bits(image);
    case 24: return FreeImage_ConvertTo24Bits(image);
    case 16: return toSixteenBits(image, extension);
    case 8: return toEightBits(image, extension);
    case 4: return FreeImage_ConvertTo4Bits(image);
    case 1: return FreeImage_Dither(image, FID_FS);
    default: return nullptr;
  }
}

// A float channel clamped to 0..1 (NaN counts as 0) and scaled to top.
template <typename T>
T scaledChannel(float value, float top) {
  const float clamped = value > 0.0f ? std::min(value, 1.0f) : 0.0f;
  return static_cast<T>(std::lround(clamped * top));
}

}  // namespace

// Float images (HDR textures) hold values outside 0..1, which FreeImage
// cannot bring to integer depths. For those each channel is clamped to 0..1
// first, as other texture converters do: to three 16-bit channels for 48
// bits, to an 8-bit RGB or RGBA bitmap below that. 16-bit images become
// ordinary bitmaps first for the depths FreeImage converts only from those.
// Other images come back as they are (nullptr: no change).
Bitmap toIntegerChannels(FIBITMAP* image, int32_t depth) {
  const FREE_IMAGE_TYPE type = FreeImage_GetImageType(image);
  const int width = static_cast<int>(FreeImage_GetWidth(image));
  const int height = static_cast<int>(FreeImage_GetHeight(image));
  if (type == FIT_RGBF || type == FIT_RGBAF) {
    const bool alpha = type == FIT_RGBAF;
    const bool wide = depth == 48;
    Bitmap out = adoptBitmap(wide ? FreeImage_AllocateT(FIT_RGB16, width, height)
                                  : FreeImage_Allocate(width, height, alpha ? 32 : 24, FI_RGBA_RED_MASK,
                                                       FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK));
    if (!out) return out;
    const int step = alpha ? 4 : 3;
    const unsigned outStep = FreeImage_GetBPP(out.get()) / 8;
    for (int y = 0; y < height; ++y) {
      const float* in = reinterpret_cast<const float*>(FreeImage_GetScanLine(image, y));
      BYTE* row = FreeImage_GetScanLine(out.get(), y);
      for (int x = 0; x < width; ++x, in += step) {
        if (wide) {
          FIRGB16* p = reinterpret_cast<FIRGB16*>(row) + x;
          p->red = scaledChannel<WORD>(in[0], 65535.0f);
          p->green = scaledChannel<WORD>(in[1], 65535.0f);
          p->blue = scaledChannel<WORD>(in[2], 65535.0f);
        } else {
          BYTE* p = row + x * outStep;
          p[FI_RGBA_RED] = scaledChannel<BYTE>(in[0], 255.0f);
          p[FI_RGBA_GREEN] = scaledChannel<BYTE>(in[1], 255.0f);
          p[FI_RGBA_BLUE] = scaledChannel<BYTE>(in[2], 255.0f);
          if (alpha) p[FI_RGBA_ALPHA] = scaledChannel<BYTE>(in[3], 255.0f);
        }
      }
    }
    return out;
  }
  if ((type == FIT_RGB16 || type == FIT_RGBA16) && depth <= 16) {
    return adoptBitmap(type == FIT_RGBA16 ? FreeImage_ConvertTo32Bits(image)
                                          : FreeImage_ConvertTo24Bits(image));
  }
  return nullptr;
}

int32_t chooseAutoDepth(const std::string& extension, int32_t sourceDepth) {
  std::vector<int32_t> depths = allowedDepths(extension);
  if (const int32_t ceiling = formatRow(extension).largestAutomaticDepth) {
    std::erase_if(depths, [ceiling](int32_t depth) { return depth > ceiling; });
  }
  for (int32_t depth : depths) {
    if (sourceDepth <= depth) return depth;
  }
  return depths.empty() ? 0 : depths.back();
}

namespace {

// A format of grey levels only gets them for an 8-bit image with a colour
// palette (or a palette of grey in another order) as well.
Bitmap greyLevelsIfNeeded(Bitmap image, const std::string& extension) {
  if (!image || formatRow(extension).eightBits != EightBitContent::kGreyOnly ||
      FreeImage_GetBPP(image.get()) != 8 || FreeImage_GetColorType(image.get()) == FIC_MINISBLACK) {
    return image;
  }
  return adoptBitmap(FreeImage_ConvertToGreyscale(image.get()));
}

}  // namespace

Bitmap convertDepth(Bitmap image, const DepthStep& step, int32_t sourceBpp, int32_t* chosenBpp) {
  if (!image) return image;
  const int32_t depth = step.automatic ? chooseAutoDepth(step.extension, sourceBpp) : step.bpp;
  if (chosenBpp) *chosenBpp = depth;
  if (static_cast<int32_t>(FreeImage_GetBPP(image.get())) == depth) {
    return greyLevelsIfNeeded(std::move(image), step.extension);
  }
  const FREE_IMAGE_TYPE type = FreeImage_GetImageType(image.get());
  if (depth <= 48 && type != FIT_BITMAP) {
    if (Bitmap integer = toIntegerChannels(image.get(), depth)) {
      image = std::move(integer);
      if (static_cast<int32_t>(FreeImage_GetBPP(image.get())) == depth) return image;
    }
  }
  return greyLevelsIfNeeded(adoptBitmap(convertTo(image.get(), depth, step.extension)), step.extension);
}
