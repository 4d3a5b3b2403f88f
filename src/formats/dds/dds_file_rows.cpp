#include "formats/dds/dds_file_rows.h"

#include <vector>

#include "formats/dds/dds_image.h"
#include "platform/files.h"

Bitmap readDdsRowsFromFile(const ReadableFile& file, const DdsFormat& format, uint32_t width,
                           uint32_t height, uint64_t offset, uint64_t rowPitch) {
  if (!ddsRowsAreScanlines(format) || width == 0 || height == 0) return nullptr;
  const uint64_t packedRow = uint64_t{width} * format.layout.bytesPerPixel;
  if (rowPitch == 0) rowPitch = packedRow;
  if (rowPitch < packedRow) return nullptr;
  Bitmap bitmap = allocateDdsBitmap(format, width, height);
  if (!bitmap) return nullptr;
  // The file keeps the top row first, the bitmap the bottom one.
  std::vector<FilePiece> rows(height);
  for (uint32_t y = 0; y < height; ++y) {
    rows[y].offset = offset + y * rowPitch;
    rows[y].destination = FreeImage_GetScanLine(bitmap.get(), static_cast<int>(height - 1 - y));
    rows[y].size = static_cast<size_t>(packedRow);
  }
  if (!file.readPieces(rows)) return nullptr;
  return bitmap;
}
