#include "pipeline/depth.h"

#include <utility>

#include "formats/format_tables.h"

namespace {

bool isOneOf(const std::string& text, std::initializer_list<const char*> values) {
  for (const char* value : values) {
    if (text == value) return true;
  }
  return false;
}

FIBITMAP* toSixteenBits(FIBITMAP* image, const std::string& extension) {
  Bitmap wide;
  if (FreeImage_GetBPP(image) > 32) {
    wide = adoptBitmap(FreeImage_ConvertTo24Bits(image));
    if (!wide) return nullptr;
    image = wide.get();
  }
  return isOneOf(extension, {"ico", "tga"}) ? FreeImage_ConvertTo16Bits555(image)
                                            : FreeImage_ConvertTo16Bits565(image);
}

FIBITMAP* toEightBits(FIBITMAP* image, const std::string& extension) {
  if (isOneOf(extension, {"j2k", "jp2", "jpg", "jxr"})) return FreeImage_ConvertTo8Bits(image);
  Bitmap rgb;
  if (FreeImage_GetBPP(image) != 24 || FreeImage_GetImageType(image) != FIT_BITMAP) {
    rgb = adoptBitmap(FreeImage_ConvertTo24Bits(image));
    if (!rgb) return nullptr;
    image = rgb.get();
  }
  return FreeImage_ColorQuantizeEx(image, FIQ_WUQUANT, 256, 0, nullptr);
}

FIBITMAP* convertTo(FIBITMAP* image, int32_t depth, const std::string& extension) {
  switch (depth) {
    case 96: return FreeImage_ConvertToRGBF(image);
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

}  // namespace

int32_t chooseAutoDepth(const std::string& extension, int32_t sourceDepth) {
  const std::vector<int32_t> depths = allowedDepths(extension);
  for (int32_t depth : depths) {
    if (sourceDepth <= depth) return depth;
  }
  return depths.empty() ? 0 : depths.back();
}

Bitmap convertDepth(Bitmap image, ConversionJob& job) {
  if (!image) return image;
  if (job.autoBpp) job.requestedBpp = chooseAutoDepth(job.conversion, job.sourceBpp);
  if (static_cast<int32_t>(FreeImage_GetBPP(image.get())) == job.requestedBpp) return image;
  return adoptBitmap(convertTo(image.get(), job.requestedBpp, job.conversion));
}
