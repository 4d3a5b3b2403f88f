#include "formats/writers/freeimage_writer.h"

#include "formats/library_messages.h"

namespace {

constexpr int32_t kTiffCompressionMask = 0x1FF00;  // TIFF_PACKBITS .. TIFF_LOGLUV
constexpr uint32_t kBiRle8 = 1;                    // biCompression values
constexpr uint32_t kBiRle4 = 2;

void putWord(BYTE* bytes, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<BYTE>((value >> (8 * i)) & 0xFF);
}

uint32_t getWord(const BYTE* bytes, size_t offset) {
  return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
         static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

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

uint32_t wordAt(OutputBytes* out, size_t offset) {
  BYTE bytes[4] = {};
  out->seek(static_cast<long long>(offset), 0);
  out->read(bytes, 4);
  return getWord(bytes, 0);
}

void putWordAt(OutputBytes* out, size_t offset, uint32_t value) {
  BYTE bytes[4];
  putWord(bytes, 0, value);
  out->seek(static_cast<long long>(offset), 0);
  out->write(bytes, 4);
}

// FreeImage's RLE bitmaps carry the uncompressed file size in the file
// header and 0 as the image size, which strict readers refuse: both fields
// get the true sizes.
void mendRleBmpHeader(OutputBytes* out) {
  out->seek(0, 2);
  const auto size = static_cast<uint32_t>(out->tell());
  if (size < 54) return;
  const uint32_t pixelOffset = wordAt(out, 10);
  const uint32_t compression = wordAt(out, 30);
  putWordAt(out, 2, size);
  if ((compression == kBiRle8 || compression == kBiRle4) && pixelOffset <= size) {
    putWordAt(out, 34, size - pixelOffset);
  }
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
  FreeImageIO io{readProc, writeProc, seekProc, tellProc};
  takeTiffErrors();
  const bool saved = FreeImage_SaveToHandle(fif, image, &io, static_cast<fi_handle>(out), flags);
  // The image is handed back as it came, for a check that compares with it.
  if (fif == FIF_PFM) FreeImage_FlipVertical(image);
  for (const std::string& error : takeTiffErrors()) {
    if (!saved) recordLibraryMessage(error);
  }
  if (!saved) return false;
  if (fif == FIF_BMP && (flags & BMP_SAVE_RLE)) mendRleBmpHeader(out);
  return !out->outOfMemory();
}
