#include "formats/dds/dds_reader.h"

#include "formats/dds/dds_file_rows.h"
#include "formats/dds/dds_header.h"
#include "formats/dds/dds_image.h"
#include "formats/dds/palette_image.h"
#include "platform/files.h"

namespace {

bool isSignedLayout(const DdsFormat& format) {
  if (format.encoding == DdsEncoding::Bc4Signed || format.encoding == DdsEncoding::Bc5Signed) return true;
  return format.encoding == DdsEncoding::Uncompressed &&
         format.layout.red.encoding == ChannelEncoding::Snorm;
}

void describeFacts(const DdsHeader& header, const DdsLayout& layout, DdsImageFacts* facts) {
  if (!facts) return;
  facts->encoding = layout.format.encoding;
  facts->signedChannels = isSignedLayout(layout.format);
  facts->normalMapFlag = (header.pixelFormat.flags & kDdsPixelNormalMap) != 0;
  facts->colourSpace = ddsColourSpace(layout.format);
}

// Finds id in a checked header; false when the file has no such surface.
bool locate(const DdsHeader& header, const DdsLayout& layout, DdsSurfaceId id, DdsSurfaceSpan* span) {
  const DdsSurfaceDirectory directory = describeDdsSurfaces(header, layout);
  if (id.face == kDdsNoFace && !directory.faces.empty()) id.face = directory.faces.front();
  return locateDdsSurface(header, layout, directory, id, span);
}

// prefix holds the file from its start to the first surface (header and
// palette); data the surface's bytes.
Bitmap decodeSurface(const DdsLayout& layout, const uint8_t* prefix,
                     const DdsSurfaceSpan& span, const uint8_t* data, size_t size) {
  if (size < span.size) return nullptr;
  if (layout.format.paletted) {
    return decodePalettedImage(layout.format, prefix + kDdsHeaderBytes, span.width, span.height, data, size);
  }
  return decodeDdsImage(layout.format, span.width, span.height, data, size);
}

}  // namespace

Bitmap readDdsSurface(const uint8_t* bytes, size_t size, const DdsSurfaceId& id, DdsImageFacts* facts) {
  DdsHeader header;
  if (checkDdsHeader(bytes, size, size, &header) != DdsCheck::Ok) return nullptr;
  const DdsLayout layout = describeDdsLayout(header);
  DdsSurfaceSpan span;
  if (!locate(header, layout, id, &span) || span.offset > size || span.size > size - span.offset) {
    return nullptr;
  }
  describeFacts(header, layout, facts);
  return decodeSurface(layout, bytes, span, bytes + span.offset, static_cast<size_t>(span.size));
}

Bitmap readDdsImage(const uint8_t* bytes, size_t size) { return readDdsSurface(bytes, size, {}); }

Bitmap readDdsFileSurface(const std::string& path, const DdsSurfaceId& id, DdsImageFacts* facts) {
  // The header alone decides whether the rest is worth reading, and how much
  // of it: only this surface, not the mipmaps, faces or slices around it.
  // One read holds the header; a palette after it needs a second.
  std::string prefix;
  if (!readFilePrefix(path, kDdsHeaderBytes + kDdsDx10HeaderBytes, &prefix)) return nullptr;
  const uint64_t length = static_cast<uint64_t>(fileSize(path));
  DdsHeader header;
  if (checkDdsHeader(reinterpret_cast<const uint8_t*>(prefix.data()), prefix.size(), length,
                     &header) != DdsCheck::Ok) {
    return nullptr;
  }
  const DdsLayout layout = describeDdsLayout(header);
  DdsSurfaceSpan span;
  if (!locate(header, layout, id, &span)) return nullptr;
  if (span.offset > length || span.size > length - span.offset) return nullptr;
  describeFacts(header, layout, facts);
  // Rows that already are the bitmap's scanlines go from the file straight
  // into it. Stored rows are packed: the pitch field is not trusted.
  if (!layout.format.paletted && ddsRowsAreScanlines(layout.format)) {
    return readDdsRowsFromFile(path, layout.format, span.width, span.height, span.offset, 0);
  }
  if (prefix.size() < header.dataOffset &&
      (!readFilePrefix(path, header.dataOffset, &prefix) || prefix.size() < header.dataOffset)) {
    return nullptr;
  }
  std::string data;
  if (!readFileRange(path, span.offset, static_cast<size_t>(span.size), &data)) {
    return nullptr;
  }
  return decodeSurface(layout, reinterpret_cast<const uint8_t*>(prefix.data()), span,
                       reinterpret_cast<const uint8_t*>(data.data()), data.size());
}

Bitmap readDdsFile(const std::string& path) { return readDdsFileSurface(path, {}); }
