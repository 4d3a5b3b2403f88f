#include "formats/dds/dds_reader.h"

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
  // The header alone decides whether the rest is worth reading.
  if (checkDdsFile(path) != DdsCheck::Ok) return nullptr;
  std::string data;
  if (!readWholeFile(path, &data)) return nullptr;
  return readDdsImage(reinterpret_cast<const uint8_t*>(data.data()), data.size());
}
