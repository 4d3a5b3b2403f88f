// pellucid::openTexture and pellucid::decodeSurface: the public reader over
// the program's own DDS reader.

#include <mutex>
#include <string>
#include <utility>

#include "app/public_image.h"
#include "formats/dds/dds_header.h"
#include "formats/dds/dds_reader.h"
#include "formats/dds/dds_surfaces.h"
#include "platform/files.h"
#include "platform/memory.h"

namespace pellucid {

namespace {

bool fail(std::string* error, std::string reason) {
  if (error) *error = std::move(reason);
  return false;
}

// The header of path, checked against the file's present length.
bool checkHeader(const std::string& path, DdsHeader* header, DdsLayout* layout,
                 uint64_t* length, std::string* error) {
  if (isFolder(path)) return fail(error, path + ": is a folder");
  const int64_t size = fileSize(path);
  std::string prefix;
  if (size < 0 || !readFilePrefix(path, kDdsHeaderBytes + kDdsDx10HeaderBytes, &prefix)) {
    return fail(error, path + ": " + lastSystemError());
  }
  *length = static_cast<uint64_t>(size);
  const DdsCheck check = checkDdsHeader(reinterpret_cast<const uint8_t*>(prefix.data()),
                                        prefix.size(), *length, header);
  if (check != DdsCheck::Ok) return fail(error, path + ": " + std::string(ddsCheckText(check)));
  *layout = describeDdsLayout(*header);
  return true;
}

std::string surfaceText(const SurfaceId& id) {
  std::string text = "mip " + std::to_string(id.mip);
  if (id.face != kNoFace) text += ", face " + std::to_string(id.face);
  return text + ", layer " + std::to_string(id.layer);
}

// Face 0 of a texture that is no cube map is its only face.
DdsSurfaceId internalId(const Texture& texture, const SurfaceId& id) {
  const bool plain = texture.faces.empty() && id.face == 0;
  return DdsSurfaceId{id.mip, plain ? kDdsNoFace : id.face, id.layer};
}

}  // namespace

bool openTexture(const std::string& path, Texture* texture, std::string* error) {
  static std::once_flag tuned;
  std::call_once(tuned, reuseLargeAllocations);
  DdsHeader header;
  DdsLayout layout;
  uint64_t length = 0;
  if (!checkHeader(path, &header, &layout, &length, error)) return false;
  const DdsSurfaceDirectory directory = describeDdsSurfaces(header, layout);
  Texture result;
  result.path = path;
  result.width = header.width;
  result.height = header.height;
  result.mips = directory.mipCount;
  result.faces = directory.faces;
  result.layers = directory.layerCount;
  result.volume = directory.volume;
  // Every surface the header claims, up to the first whose data the file
  // lacks: that one is listed (decoding it says it is cut short), the rest
  // are not, so an absurd header cannot make an absurd list.
  const DdsSurfaceChoice all{true, true, true};
  if (exceedsDdsSurfaceLimits(header, layout, all)) {
    return fail(error, path + ": more than " + std::to_string(kDdsMaxLayers) +
                           " array elements or depth slices");
  }
  for (const DdsSurfaceId& id : chooseDdsSurfaces(header, layout, all, length)) {
    DdsSurfaceSpan span;
    if (!locateDdsSurface(header, layout, directory, id, &span)) continue;
    result.surfaces.push_back(Surface{SurfaceId{id.mip, id.face, id.layer}, span.width, span.height});
  }
  *texture = std::move(result);
  return true;
}

bool decodeSurface(const Texture& texture, const SurfaceId& id, Image* image, std::string* error) {
  const DdsSurfaceId wanted = internalId(texture, id);
  bool listed = false;
  for (const Surface& surface : texture.surfaces) {
    const SurfaceId& s = surface.id;
    listed = listed || (s.mip == wanted.mip && s.face == wanted.face && s.layer == wanted.layer);
  }
  if (!listed) return fail(error, texture.path + ": no surface " + surfaceText(id));

  clearOutOfMemoryMark();
  Bitmap bitmap = readDdsFileSurface(texture.path, wanted);
  if (!bitmap) {
    // Say why: the file may have changed since it was opened, its data may be
    // cut short, or the pixels may not fit in memory.
    DdsHeader header;
    DdsLayout layout;
    uint64_t length = 0;
    if (!checkHeader(texture.path, &header, &layout, &length, error)) return false;
    DdsSurfaceSpan span;
    const DdsSurfaceDirectory directory = describeDdsSurfaces(header, layout);
    if (!locateDdsSurface(header, layout, directory, wanted, &span)) {
      return fail(error, texture.path + ": no surface " + surfaceText(id));
    }
    if (span.offset > length || span.size > length - span.offset) {
      return fail(error, texture.path + ": truncated");
    }
    if (outOfMemoryMarked()) return fail(error, texture.path + ": not enough memory");
    return fail(error, texture.path + ": cannot be decoded");
  }
  int channels = 0;
  SampleType sampleType = SampleType::kUint8;
  if (!describeDecodedBitmap(bitmap.get(), &channels, &sampleType)) {
    return fail(error, texture.path + ": cannot be decoded");
  }
  arrangeForPublicImage(bitmap.get());
  Image result;
  result.width_ = FreeImage_GetWidth(bitmap.get());
  result.height_ = FreeImage_GetHeight(bitmap.get());
  result.channels_ = channels;
  result.sampleType_ = sampleType;
  result.rowBytes_ = FreeImage_GetPitch(bitmap.get());
  result.pixels_ = FreeImage_GetBits(bitmap.get());
  result.storage_ = std::make_unique<Image::Storage>(Image::Storage{std::move(bitmap)});
  *image = std::move(result);
  return true;
}

}  // namespace pellucid
