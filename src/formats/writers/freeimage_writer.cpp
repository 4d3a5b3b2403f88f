#include "formats/writers/freeimage_writer.h"

#include <cstdio>
#include <mutex>

#include "formats/library_messages.h"
#include "formats/writers/half_range.h"
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

// A forward-only stream onto a sink: FreeImage may ask where it is and seek
// to where it already is, nothing else.
struct ForwardStream {
  ByteSink& sink;
  long written = 0;
};

unsigned DLL_CALLCONV forwardWrite(void* buffer, unsigned size, unsigned count, fi_handle handle) {
  auto* stream = static_cast<ForwardStream*>(handle);
  const size_t bytes = static_cast<size_t>(size) * count;
  if (bytes == 0) return count;
  if (!stream->sink.write(buffer, bytes)) return 0;
  stream->written += static_cast<long>(bytes);
  return count;
}

unsigned DLL_CALLCONV forwardRead(void*, unsigned, unsigned, fi_handle) { return 0; }

int DLL_CALLCONV forwardSeek(fi_handle handle, long offset, int origin) {
  const long at = static_cast<ForwardStream*>(handle)->written;
  const bool stays = (origin == SEEK_SET && offset == at) || (origin != SEEK_SET && offset == 0);
  return stays ? 0 : -1;
}

long DLL_CALLCONV forwardTell(fi_handle handle) { return static_cast<ForwardStream*>(handle)->written; }

// FreeImage's Radiance writer puts its version into each header from one
// buffer every thread shares, printing the version into it anew each time:
// a header written while another thread prints it can lose the version, so
// the same file would not give the same bytes. Radiance saves take turns.
bool saveToHandle(FREE_IMAGE_FORMAT fif, FIBITMAP* image, FreeImageIO* io, fi_handle handle,
                  int32_t flags) {
  static std::mutex radianceTurns;
  std::unique_lock<std::mutex> turn(radianceTurns, std::defer_lock);
  if (fif == FIF_HDR) turn.lock();
  return FreeImage_SaveToHandle(fif, image, io, handle, flags);
}

}  // namespace

bool isStreamedByFreeImage(FIBITMAP* image, int32_t format, int32_t flags) {
  const auto fif = static_cast<FREE_IMAGE_FORMAT>(format);
  // RLE bitmaps get their header sizes patched afterwards; RLE TGA is left
  // to the in-memory path as well.
  const bool runLengths = (fif == FIF_BMP && (flags & BMP_SAVE_RLE)) ||
                          (fif == FIF_TARGA && (flags & TARGA_SAVE_RLE));
  if (runLengths || !image) return false;
  const FREE_IMAGE_TYPE type = FreeImage_GetImageType(image);
  if (!FreeImage_FIFSupportsExportType(fif, type)) return false;
  return type != FIT_BITMAP || FreeImage_FIFSupportsExportBPP(fif, static_cast<int>(FreeImage_GetBPP(image)));
}

bool streamWithFreeImage(FIBITMAP* image, int32_t format, int32_t flags, ByteSink& sink) {
  ForwardStream stream{sink};
  FreeImageIO io{forwardRead, forwardWrite, forwardSeek, forwardTell};
  return saveToHandle(static_cast<FREE_IMAGE_FORMAT>(format), image, &io,
                      static_cast<fi_handle>(&stream), flags);
}

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
  if (fif == FIF_EXR && (flags & EXR_FLOAT) == 0 && needsHalfClamp(image)) {
    clamped = clampedForHalf(image);
    if (!clamped) return false;
    image = clamped.get();
  }
  FreeImageIO io{readProc, writeProc, seekProc, tellProc};
  takeTiffErrors();
  const bool saved = saveToHandle(fif, image, &io, static_cast<fi_handle>(out), flags);
  // The image is handed back as it came, for a check that compares with it.
  if (fif == FIF_PFM) FreeImage_FlipVertical(image);
  for (const std::string& error : takeTiffErrors()) {
    if (!saved) recordLibraryMessage(error);
  }
  if (!saved) return false;
  return !out->outOfMemory();
}
