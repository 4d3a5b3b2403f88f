#include "pipeline/freeimage_writer.h"

#include "pipeline/library_messages.h"
#include "platform/files.h"

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

// FreeImage's RLE bitmaps carry the uncompressed file size in the file
// header and 0 as the image size, which strict readers refuse. The BMP is
// built in memory and both fields get the true sizes.
bool writeBmp(FIBITMAP* image, const std::string& path, int32_t flags) {
  MemoryStream stream(FreeImage_OpenMemory(nullptr, 0));
  if (!stream || !FreeImage_SaveToMemory(FIF_BMP, image, stream.get(), flags)) return false;
  BYTE* data = nullptr;
  DWORD size = 0;
  if (!FreeImage_AcquireMemory(stream.get(), &data, &size) || size < 54) return false;
  const uint32_t pixelOffset = getWord(data, 10);
  const uint32_t compression = getWord(data, 30);
  putWord(data, 2, size);
  if ((compression == kBiRle8 || compression == kBiRle4) && pixelOffset <= size) {
    putWord(data, 34, size - pixelOffset);
  }
  return writeWholeFile(path, std::string(reinterpret_cast<const char*>(data), size));
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

bool writeWithFreeImage(FIBITMAP* image, int32_t format, const std::string& path, int32_t flags) {
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
  // Only RLE bitmaps need their header mended; plain ones are saved straight to
  // the file, which avoids building the whole file in a growing memory buffer.
  if (fif == FIF_BMP && (flags & BMP_SAVE_RLE)) return writeBmp(image, path, flags);
  return FreeImage_Save(fif, image, path.c_str(), flags) != FALSE;
}
