#include "formats/dds/dds_reader.h"

#include "formats/dds/dds_file_rows.h"
#include "formats/dds/dds_header.h"
#include "formats/dds/dds_image.h"
#include "platform/files.h"

Bitmap readDdsImage(const uint8_t* bytes, size_t size) {
  DdsHeader header;
  if (checkDdsHeader(bytes, size, size, &header) != DdsCheck::Ok) return nullptr;
  const DdsLayout layout = describeDdsLayout(header);
  return decodeDdsImage(layout.format, header.width, header.height, bytes + header.dataOffset,
                        size - header.dataOffset, ddsRowPitch(header, layout));
}

Bitmap readDdsFile(const std::string& path) {
  // The header alone decides whether the rest is worth reading, and how much
  // of it: only the top level, not the mipmaps, faces or slices after it.
  DdsHeader header;
  if (checkDdsFile(path, &header) != DdsCheck::Ok) return nullptr;
  const DdsLayout layout = describeDdsLayout(header);
  if (ddsRowsAreScanlines(layout.format)) {
    return readDdsRowsFromFile(path, layout.format, header.width, header.height, header.dataOffset,
                               ddsRowPitch(header, layout));
  }
  const uint64_t needed = header.dataOffset + ddsTopLevelDataSize(header, layout);
  std::string data;
  if (!readFilePrefix(path, static_cast<size_t>(needed), &data)) return nullptr;
  return readDdsImage(reinterpret_cast<const uint8_t*>(data.data()), data.size());
}
