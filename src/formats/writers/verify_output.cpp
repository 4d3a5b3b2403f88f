#include "formats/writers/verify_output.h"

#include "formats/format_tables.h"
#include "formats/library_messages.h"
#include "formats/writers/check_decoder.h"
#include "formats/writers/pixel_comparison.h"

VerifyRule verifyRuleFor(const SaveTarget& target, FIBITMAP* image) {
  const OutputFormat* format = findOutputFormat(target.extension);
  if (!format) return VerifyRule{};
  const OutputCheck& check = format->check;
  VerifyRule rule{check.measure, check.colourOnly, check.invisibleColourFree, check.minimumPsnr};
  if (check.lossyWith && check.lossyWith(target.saveFlags)) rule.measure = VerifyMeasure::kPsnr;
  // CMYK has four channels and no place for alpha.
  if (format->cmykFlag && (target.saveFlags & format->cmykFlag) == format->cmykFlag &&
      FreeImage_GetBPP(image) == 32) {
    rule.colourOnly = true;
  }
  // libjxr codes floats with a shortened mantissa (a full one overflows its
  // integer pipeline), so even lossless JPEG XR floats come back rounded.
  if (check.reader == CheckReader::kLibjxr && FreeImage_GetImageType(image) == FIT_RGBF) {
    rule.measure = VerifyMeasure::kPsnr;
  }
  return rule;
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
