#include "formats/writers/freeimage_writer.h"

#include "formats/library_messages.h"
#include "formats/writers/rgbe_range.h"

namespace {

constexpr int32_t kTiffCompressionMask = 0x1FF00;  // TIFF_PACKBITS .. TIFF_LOGLUV
unsigned DLL_CALLCONV writeProc(void* buffer, unsigned size, unsigned count, fi_handle handle) {
  auto* out = static_cast<OutputBytes*>(handle);
  if (size == 0) return count;
  return out->write(buffer, static_cast<size_t>(size) * count) ? count : 0;
}

unsigned DLL_CALLCONV readProc(void* buffer, unsigned size, unsigned count, fi_handle handle) {
  if (size == 0) return 0;
  auto* out = static_cast<OutputBytes*>(handle);
  return static_cast<unsigned>(out->read(buffer, static_cast<size_t>(size) * count) / size);
}

int DLL_CALLCONV seekProc(fi_handle handle, long offset, int origin) {
  return static_cast<OutputBytes*>(handle)->seek(offset, origin) ? 0 : -1;
}

long DLL_CALLCONV tellProc(fi_handle handle) {
  return static_cast<long>(static_cast<OutputBytes*>(handle)->tell());
}

}  // namespace

bool isReadableTiffCompression(FIBITMAP* image, int32_t flags) {
  const int32_t compression = flags & kTiffCompressionMask;
  if (compression == TIFF_CCITTFAX3 || compression == TIFF_CCITTFAX4) {
    return FreeImage_GetImageType(image) == FIT_BITMAP && FreeImage_GetBPP(image) == 1;
  }
  if (compression == TIFF_LOGLUV) return FreeImage_GetImageType(image) == FIT_RGBF;
  return true;
}

bool encodeWithFreeImage(FIBITMAP* image, int32_t format, int32_t flags, OutputBytes* out) {
  if (!image) return false;
  const auto fif = static_cast<FREE_IMAGE_FORMAT>(format);
  if (fif == FIF_TIFF && !isReadableTiffCompression(image, flags)) {
    recordLibraryMessage(
        "This TIFF compression cannot store this image: CCITT fax needs a 1-bit image, "
        "LogLuv a 96-bit one");
    return false;
  }
  if (fif == FIF_ICO && FreeImage_GetBPP(image) == 16) {
    recordLibraryMessage("16-bit icons cannot be written readably; choose another icon depth");
    return false;
  }
  if (fif == FIF_PFM && !FreeImage_FlipVertical(image)) return false;
  Bitmap clamped;
  if (fif == FIF_HDR && needsRgbeClamp(image)) {
    clamped = clampedForRgbe(image);
    if (!clamped) return false;
    image = clamped.get();
  }
  FreeImageIO io{readProc, writeProc, seekProc, tellProc};
  takeTiffErrors();
  const bool saved = FreeImage_SaveToHandle(fif, image, &io, static_cast<fi_handle>(out), flags);
  for (const std::string& error : takeTiffErrors()) {
    if (!saved) recordLibraryMessage(error);
  }
  if (!saved) return false;
  return !out->outOfMemory();
}
