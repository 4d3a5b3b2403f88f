#include "formats/writers/check_decoder.h"

#include "formats/dds/dds_reader.h"
#include "formats/format_tables.h"
#include "formats/writers/bmp_rle_check_reader.h"
#include "formats/writers/jpeg_check_reader.h"
#include "formats/writers/jxr_check_reader.h"
#include "formats/writers/pfm_check_reader.h"
#include "formats/writers/png_check_reader.h"
#include "formats/writers/tiff_check_reader.h"

namespace {

Bitmap readWithFreeImage(const OutputFormat& format, const std::string& bytes) {
  if (bytes.size() > 0xFFFFFFFFu) return nullptr;  // FreeImage's memory streams are 32-bit
  const int32_t reader = format.check.freeImageFormat >= 0 ? format.check.freeImageFormat : format.code;
  MemoryStream stream(FreeImage_OpenMemory(
      reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())), static_cast<DWORD>(bytes.size())));
  if (!stream) return nullptr;
  return adoptBitmap(FreeImage_LoadFromMemory(static_cast<FREE_IMAGE_FORMAT>(reader), stream.get(), 0));
}

}  // namespace

Bitmap decodeForCheck(const SaveTarget& target, const std::string& bytes) {
  const OutputFormat* format = findOutputFormat(target.extension);
  if (!format) return nullptr;
  bool other = false;  // not a file this reader takes: FreeImage's reader then
  Bitmap image;
  switch (format->check.reader) {
    case CheckReader::kLibpng: return readPngForCheck(bytes);
    case CheckReader::kLibjpeg: return readJpegForCheck(bytes);
    case CheckReader::kLibjxr: return readJxrForCheck(bytes);
    case CheckReader::kPfmReader: return readPfmForCheck(bytes);
    case CheckReader::kDdsReader:
      return readDdsImage(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    case CheckReader::kLibtiff: image = readTiffForCheck(bytes, &other); break;
    case CheckReader::kBmpReader: image = readRleBmpForCheck(bytes, &other); break;
    case CheckReader::kFreeImage: other = true; break;
  }
  return other ? readWithFreeImage(*format, bytes) : std::move(image);
}
