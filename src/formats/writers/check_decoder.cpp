#include "formats/writers/check_decoder.h"

#include "formats/dds/dds_reader.h"
#include "formats/writers/bmp_rle_check_reader.h"
#include "formats/writers/jpeg_check_reader.h"
#include "formats/writers/jxr_check_reader.h"
#include "formats/writers/pfm_check_reader.h"
#include "formats/writers/png_check_reader.h"
#include "formats/writers/tiff_check_reader.h"

namespace {

// The FreeImage reader of a format; the DevIL outputs have FreeImage
// readers of their own.
FREE_IMAGE_FORMAT freeImageReaderOf(const SaveTarget& target) {
  if (target.extension == "psd") return FIF_PSD;
  if (target.extension == "pcx") return FIF_PCX;
  return static_cast<FREE_IMAGE_FORMAT>(target.formatCode);
}

Bitmap readWithFreeImage(FREE_IMAGE_FORMAT format, const std::string& bytes) {
  if (bytes.size() > 0xFFFFFFFFu) return nullptr;  // FreeImage's memory streams are 32-bit
  MemoryStream stream(FreeImage_OpenMemory(
      reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())), static_cast<DWORD>(bytes.size())));
  if (!stream) return nullptr;
  return adoptBitmap(FreeImage_LoadFromMemory(format, stream.get(), 0));
}

}  // namespace

Bitmap decodeForCheck(const SaveTarget& target, const std::string& bytes) {
  const std::string& extension = target.extension;
  if (extension == "png") return readPngForCheck(bytes);
  if (extension == "jpg") return readJpegForCheck(bytes);
  if (extension == "jxr") return readJxrForCheck(bytes);
  if (extension == "pfm") return readPfmForCheck(bytes);
  if (extension == "dds") {
    return readDdsImage(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  if (extension == "bmp") {
    bool notRle = false;
    Bitmap image = readRleBmpForCheck(bytes, &notRle);
    if (!notRle) return image;
  }
  if (extension == "tiff") {
    bool unsupported = false;
    Bitmap image = readTiffForCheck(bytes, &unsupported);
    if (!unsupported) return image;
  }
  return readWithFreeImage(freeImageReaderOf(target), bytes);
}
