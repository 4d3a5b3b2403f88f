#include "formats/dds/dds_reader.h"

#include <utility>

#include "formats/dds/dds_file_rows.h"
#include "formats/dds/dds_header.h"
#include "formats/dds/dds_image.h"
#include "formats/dds/dds_refusal.h"
#include "formats/dds/palette_image.h"
#include "platform/files.h"
#include "platform/readable_file.h"

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

std::string surfaceText(const DdsSurfaceId& id) {
  std::string text = "mip " + std::to_string(id.mip) + ", layer " + std::to_string(id.layer);
  if (id.face != kDdsNoFace) text += ", face " + std::string(ddsFaceName(id.face));
  return text;
}

// Records why the read gives no image; returns the empty bitmap to hand back.
Bitmap refuse(std::string* refusal, std::string reason) {
  if (refusal) *refusal = std::move(reason);
  return nullptr;
}

// Checks the header and finds the surface; false (with the reason in
// *refusal) when the file cannot give it.
bool checkAndLocate(const uint8_t* bytes, size_t size, uint64_t fileSize, const DdsSurfaceId& id,
                    DdsHeader* header, DdsLayout* layout, DdsSurfaceSpan* span,
                    std::string* refusal) {
  const DdsCheck check = checkDdsHeader(bytes, size, fileSize, header);
  if (check != DdsCheck::Ok) {
    refuse(refusal, describeDdsRefusal(check, *header, fileSize));
    return false;
  }
  *layout = describeDdsLayout(*header);
  if (!locate(*header, *layout, id, span)) {
    refuse(refusal, "no such surface: " + surfaceText(id));
    return false;
  }
  if (span->offset > fileSize || span->size > fileSize - span->offset) {
    refuse(refusal, ddsTooShortText(fileSize, span->offset + span->size));
    return false;
  }
  return true;
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

// The last word on a decode: an empty bitmap after every check passed means
// the memory for it could not be had.
Bitmap decoded(Bitmap image, const DdsSurfaceSpan& span, std::string* refusal) {
  if (!image) {
    return refuse(refusal, "no memory for a " + std::to_string(span.width) + " x " +
                               std::to_string(span.height) + " image");
  }
  if (refusal) refusal->clear();
  return image;
}

}  // namespace

Bitmap readDdsSurface(const uint8_t* bytes, size_t size, const DdsSurfaceId& id, DdsImageFacts* facts,
                      std::string* refusal) {
  DdsHeader header;
  DdsLayout layout;
  DdsSurfaceSpan span;
  if (!checkAndLocate(bytes, size, size, id, &header, &layout, &span, refusal)) return nullptr;
  describeFacts(header, layout, facts);
  return decoded(decodeSurface(layout, bytes, span, bytes + span.offset, static_cast<size_t>(span.size)),
                 span, refusal);
}

Bitmap readDdsImage(const uint8_t* bytes, size_t size) { return readDdsSurface(bytes, size, {}); }

Bitmap readDdsFileSurface(const std::string& path, const DdsSurfaceId& id, DdsImageFacts* facts,
                          std::string* refusal) {
  // The header alone decides whether the rest is worth reading, and how much
  // of it: only this surface, not the mipmaps, faces or slices around it.
  // One read holds the header; a palette after it needs a second. The file
  // is opened once for all of them.
  const ReadableFile file(path);
  std::string prefix;
  if (!file.isOpen() || !file.readRange(0, kDdsHeaderBytes + kDdsDx10HeaderBytes, &prefix)) {
    return refuse(refusal, isFolder(path) ? "a folder, not a file" : "the file cannot be read");
  }
  const uint64_t length = file.size();
  DdsHeader header;
  DdsLayout layout;
  DdsSurfaceSpan span;
  if (!checkAndLocate(reinterpret_cast<const uint8_t*>(prefix.data()), prefix.size(), length, id,
                      &header, &layout, &span, refusal)) {
    return nullptr;
  }
  describeFacts(header, layout, facts);
  // Rows that already are the bitmap's scanlines go from the file straight
  // into it. Stored rows are packed: the pitch field is not trusted.
  if (!layout.format.paletted && ddsRowsAreScanlines(layout.format)) {
    Bitmap image = readDdsRowsFromFile(file, layout.format, span.width, span.height, span.offset, 0);
    if (!image) return refuse(refusal, "reading the surface failed");
    if (refusal) refusal->clear();
    return image;
  }
  if (prefix.size() < header.dataOffset &&
      (!file.readRange(0, header.dataOffset, &prefix) || prefix.size() < header.dataOffset)) {
    return refuse(refusal, "the file cannot be read to its end");
  }
  std::string data;
  if (!file.readRange(span.offset, static_cast<size_t>(span.size), &data) ||
      data.size() < span.size) {
    return refuse(refusal, "the file cannot be read to its end");
  }
  return decoded(decodeSurface(layout, reinterpret_cast<const uint8_t*>(prefix.data()), span,
                               reinterpret_cast<const uint8_t*>(data.data()), data.size()),
                 span, refusal);
}

Bitmap readDdsFile(const std::string& path) { return readDdsFileSurface(path, {}); }
