#include "pipeline/freeimage_writer.h"

#include "pipeline/library_messages.h"

namespace {

constexpr int32_t kTiffCompressionMask = 0x1FF00;  // TIFF_PACKBITS .. TIFF_LOGLUV

}  // namespace

bool isReadableTiffCompression(FIBITMAP* image, int32_t flags) {
  const int32_t compression = flags & kTiffCompressionMask;
  if (compression == TIFF_CCITTFAX3 || compression == TIFF_CCITTFAX4) {
    return FreeImage_GetImageType(image) == FIT_BITMAP && FreeImage_GetBPP(image) == 1;
  }
  if (compression == TIFF_LOGLUV) return FreeImage_GetImageType(image) == FIT_RGBF;
  return true;
}

bool writeWithFreeImage(FIBITMAP* image, int32_t format, const std::string& path, int32_t flags) {
  if (!image) return false;
  const auto fif = static_cast<FREE_IMAGE_FORMAT>(format);
  if (fif == FIF_TIFF && !isReadableTiffCompression(image, flags)) {
    recordLibraryMessage(
        "This TIFF compression cannot store this image: CCITT fax needs a 1-bit image, "
        "LogLuv a 96-bit one");
    return false;
  }
  if (fif == FIF_PFM && !FreeImage_FlipVertical(image)) return false;
  return FreeImage_Save(fif, image, path.c_str(), flags) != FALSE;
}
