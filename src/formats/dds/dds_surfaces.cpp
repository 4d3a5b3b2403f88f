#include "formats/dds/dds_surfaces.h"

#include <algorithm>
#include <limits>

namespace {

constexpr uint64_t kMaxOffset = std::numeric_limits<uint64_t>::max();

// Sizes and offsets from a header that claims absurd counts stay at the
// largest value instead of wrapping, so they always lie past the file's end.
uint64_t saturatingAdd(uint64_t a, uint64_t b) { return a > kMaxOffset - b ? kMaxOffset : a + b; }
uint64_t saturatingMultiply(uint64_t a, uint64_t b) {
  return b != 0 && a > kMaxOffset / b ? kMaxOffset : a * b;
}

uint32_t halved(uint32_t size, uint32_t level) { return std::max<uint32_t>(1, level >= 32 ? 0 : size >> level); }

bool isVolume(const DdsHeader& header) {
  return header.hasDx10 ? header.dx10.resourceDimension == kDdsDimensionTexture3d
                        : (header.caps2 & kDdsCaps2Volume) != 0;
}

bool isCubeMap(const DdsHeader& header) {
  return header.hasDx10 ? (header.dx10.miscFlag & kDdsMiscTextureCube) != 0
                        : (header.caps2 & kDdsCaps2CubeMap) != 0;
}

uint64_t mipBytes(const DdsHeader& header, const DdsLayout& layout, uint32_t mip) {
  return ddsImageBytes(layout.format, halved(header.width, mip), halved(header.height, mip));
}

// Depth slices of one level of a volume.
uint32_t sliceCount(const DdsSurfaceDirectory& directory, uint32_t mip) {
  return halved(directory.layerCount, mip);
}

}  // namespace

DdsSurfaceDirectory describeDdsSurfaces(const DdsHeader& header, const DdsLayout&) {
  DdsSurfaceDirectory directory;
  directory.volume = isVolume(header);
  directory.layerCount = directory.volume ? std::max<uint32_t>(1, header.depth)
                                          : (header.hasDx10 ? header.dx10.arraySize : 1);
  uint32_t largest = std::max(header.width, header.height);
  if (directory.volume) largest = std::max(largest, directory.layerCount);
  directory.mipCount = std::clamp<uint32_t>(header.mipMapCount, 1, fullMipChainLength(largest));
  if (isCubeMap(header) && !directory.volume) {
    // Legacy files name the faces they hold; a cube flag without any face
    // flag is read as the whole cube. The extension always holds all six.
    uint32_t present = header.hasDx10 ? kDdsCaps2CubeAllFaces : header.caps2 & kDdsCaps2CubeAllFaces;
    if (present == 0) present = kDdsCaps2CubeAllFaces;
    for (int32_t face = 0; face < kDdsCubeFaceCount; ++face) {
      if (present & (kDdsCaps2CubeFacePositiveX << face)) directory.faces.push_back(face);
    }
  }
  return directory;
}

DdsSurfaceId firstDdsSurface(const DdsSurfaceDirectory& directory) {
  DdsSurfaceId id;
  if (!directory.faces.empty()) id.face = directory.faces.front();
  return id;
}

bool locateDdsSurface(const DdsHeader& header, const DdsLayout& layout,
                      const DdsSurfaceDirectory& directory, const DdsSurfaceId& id,
                      DdsSurfaceSpan* span) {
  if (id.mip >= directory.mipCount) return false;
  uint64_t offset = header.dataOffset;
  if (directory.volume) {
    if (id.face != kDdsNoFace || id.layer >= sliceCount(directory, id.mip)) return false;
    for (uint32_t mip = 0; mip < id.mip; ++mip) {
      offset = saturatingAdd(offset, saturatingMultiply(sliceCount(directory, mip), mipBytes(header, layout, mip)));
    }
    offset = saturatingAdd(offset, saturatingMultiply(id.layer, mipBytes(header, layout, id.mip)));
  } else {
    if (id.layer >= directory.layerCount) return false;
    uint64_t faceIndex = 0;
    if (directory.faces.empty()) {
      if (id.face != kDdsNoFace) return false;
    } else {
      auto found = std::find(directory.faces.begin(), directory.faces.end(), id.face);
      if (found == directory.faces.end()) return false;
      faceIndex = static_cast<uint64_t>(found - directory.faces.begin());
    }
    uint64_t chain = 0;
    uint64_t before = 0;
    for (uint32_t mip = 0; mip < directory.mipCount; ++mip) {
      if (mip == id.mip) before = chain;
      chain = saturatingAdd(chain, mipBytes(header, layout, mip));
    }
    const uint64_t faceCount = std::max<uint64_t>(1, directory.faces.size());
    const uint64_t chainsBefore = saturatingAdd(saturatingMultiply(id.layer, faceCount), faceIndex);
    offset = saturatingAdd(offset, saturatingAdd(saturatingMultiply(chainsBefore, chain), before));
  }
  span->width = halved(header.width, id.mip);
  span->height = halved(header.height, id.mip);
  span->offset = offset;
  span->size = mipBytes(header, layout, id.mip);
  return true;
}

bool exceedsDdsSurfaceLimits(const DdsHeader& header, const DdsLayout& layout,
                             const DdsSurfaceChoice& choice) {
  const DdsSurfaceDirectory directory = describeDdsSurfaces(header, layout);
  return choice.allLayers && directory.layerCount > kDdsMaxLayers;
}

std::vector<DdsSurfaceId> chooseDdsSurfaces(const DdsHeader& header, const DdsLayout& layout,
                                            const DdsSurfaceChoice& choice, uint64_t fileSize) {
  const DdsSurfaceDirectory directory = describeDdsSurfaces(header, layout);
  const uint32_t mips = choice.allMips ? directory.mipCount : 1;
  std::vector<DdsSurfaceId> chosen;
  // Adds id; false once its data lies past the end of the file.
  auto add = [&](const DdsSurfaceId& id) {
    chosen.push_back(id);
    DdsSurfaceSpan span;
    return locateDdsSurface(header, layout, directory, id, &span) &&
           saturatingAdd(span.offset, span.size) <= fileSize;
  };
  if (directory.volume) {
    for (uint32_t mip = 0; mip < mips; ++mip) {
      const uint32_t slices = choice.allLayers ? sliceCount(directory, mip) : 1;
      for (uint32_t slice = 0; slice < slices; ++slice) {
        if (!add({mip, kDdsNoFace, slice})) return chosen;
      }
    }
    return chosen;
  }
  std::vector<int32_t> faces = directory.faces;
  if (faces.empty()) faces.push_back(kDdsNoFace);
  if (!choice.allFaces) faces.resize(1);
  const uint32_t layers = choice.allLayers ? directory.layerCount : 1;
  for (uint32_t layer = 0; layer < layers; ++layer) {
    for (int32_t face : faces) {
      for (uint32_t mip = 0; mip < mips; ++mip) {
        if (!add({mip, face, layer})) return chosen;
      }
    }
  }
  return chosen;
}

std::string_view ddsFaceName(int32_t face) {
  constexpr std::string_view kNames[kDdsCubeFaceCount] = {"posx", "negx", "posy", "negy", "posz", "negz"};
  if (face < 0 || face >= kDdsCubeFaceCount) return {};
  return kNames[face];
}
