#include "formats/writers/verify_output.h"

#include "formats/library_messages.h"
#include "formats/writers/check_decoder.h"
#include "formats/writers/pixel_comparison.h"

namespace {

// Save flags that make an otherwise exact format lossy.
bool lossyByFlags(const SaveTarget& target) {
  const std::string& e = target.extension;
  const int32_t flags = target.saveFlags;
  if (e == "webp") return (flags & WEBP_LOSSLESS) == 0;
  // FreeImage's JPEG 2000 writers code at a rate of 16:1 unless asked for
  // 1:1; the program never asks.
  if (e == "j2k" || e == "jp2") return flags != 1;
  if (e == "tiff") return (flags & 0x1FF00) == TIFF_JPEG || (flags & 0x1FF00) == TIFF_LOGLUV;
  if (e == "exr") return (flags & EXR_B44) != 0;
  return false;
}

}  // namespace

VerifyRule verifyRuleFor(const SaveTarget& target, FIBITMAP* image) {
  const std::string& e = target.extension;
  // libjxr codes floats with a shortened mantissa (a full one overflows its
  // integer pipeline), so even "lossless" JPEG XR floats come back rounded.
  if (e == "jxr" && FreeImage_GetImageType(image) == FIT_RGBF) return {VerifyMeasure::kPsnr, false};
  // DevIL writes DDS as DXT1 with a mip chain: lossy, and its alpha is one bit at most.
  if (e == "dds") return {VerifyMeasure::kPsnr, true, true};
  if (e == "j2k" || e == "jp2") {
    if (lossyByFlags(target)) return {VerifyMeasure::kPsnr, false, false, kRateCodedMinimumPsnr};
  }
  if (e == "jpg" || e == "jng" || lossyByFlags(target)) return {VerifyMeasure::kPsnr, false, e == "webp"};
  if (e == "webp") return {VerifyMeasure::kExact, false, true};
  if (e == "exr") return {VerifyMeasure::kHalfFloat, false};
  if (e == "hdr") return {VerifyMeasure::kRgbe, false};
  return {VerifyMeasure::kExact, false};
}

bool verifyEncodedImage(FIBITMAP* image, const SaveTarget& target, const std::string& bytes,
                        std::string* reason) {
  Bitmap decoded = decodeForCheck(target, bytes);
  takeThreadLibraryMessages();
  takeTiffErrors();
  if (!decoded) {
    *reason = "the file does not decode";
    return false;
  }
  return comparePixels(image, decoded.get(), verifyRuleFor(target, image), reason);
}
