#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "formats/dds/dds_header.h"

// Every surface a DDS file holds: mip levels x cube faces x array elements,
// or for a volume texture mip levels x depth slices. The directory is
// computed from the header alone; each surface is then located and decoded
// on its own.
//
// Storage order (the one every writer uses): for each array element, for
// each cube face present (+X, -X, +Y, -Y, +Z, -Z), the whole mip chain. A
// volume texture stores each mip level as its depth slices, one after the
// other, and each level has half the slices of the one before (at least 1).

inline constexpr int kDdsCubeFaceCount = 6;
inline constexpr int kDdsNoFace = -1;

// The most array elements or depth slices a texture may have in the common
// graphics interfaces. A header claiming more was not written for any of
// them, and exporting each of its surfaces could make millions of files.
inline constexpr uint32_t kDdsMaxLayers = 2048;

// Which surface: layer is the array element or, in a volume, the depth slice.
struct DdsSurfaceId {
  uint32_t mip = 0;
  int32_t face = kDdsNoFace;  // 0..5 for cube maps (+X, -X, +Y, -Y, +Z, -Z)
  uint32_t layer = 0;
};

struct DdsSurfaceDirectory {
  uint32_t mipCount = 1;
  std::vector<int32_t> faces;  // faces present in file order; empty when not a cube map
  uint32_t layerCount = 1;     // array elements, or depth slices of the top level
  bool volume = false;
};

// Where a surface lies in the file and its size in pixels.
struct DdsSurfaceSpan {
  uint32_t width = 0;
  uint32_t height = 0;
  uint64_t offset = 0;  // from the start of the file
  uint64_t size = 0;    // bytes
};

// The directory of a file whose header passed checkDdsHeader. The mip count
// is the header's (0 counts as 1), at most a full chain.
DdsSurfaceDirectory describeDdsSurfaces(const DdsHeader& header, const DdsLayout& layout);

// The first surface: top level, first face present, layer 0.
DdsSurfaceId firstDdsSurface(const DdsSurfaceDirectory& directory);

// Locates id; false when the directory has no such surface.
bool locateDdsSurface(const DdsHeader& header, const DdsLayout& layout,
                      const DdsSurfaceDirectory& directory, const DdsSurfaceId& id,
                      DdsSurfaceSpan* span);

// Which surfaces to export: all of a kind, or only the first.
struct DdsSurfaceChoice {
  bool allMips = false;
  bool allFaces = false;
  bool allLayers = false;
  // The option was named (with any value): the name tokens of that kind
  // stand for the surface written, and a cube map's face is found even when
  // only the first is chosen.
  bool mipsNamed = false;
  bool facesNamed = false;
  bool layersNamed = false;
};

// True when choice would export more array elements or depth slices than
// kDdsMaxLayers. (Mip levels need no such limit: the directory never holds
// more than a full chain, at most 16 levels.) Kinds not chosen are not checked.
bool exceedsDdsSurfaceLimits(const DdsHeader& header, const DdsLayout& layout,
                             const DdsSurfaceChoice& choice);

// The chosen surfaces in file order. The list ends with the first surface
// whose data lies past fileSize (it stays in the list, so reading it fails),
// which keeps the list short for a header that claims absurd counts.
std::vector<DdsSurfaceId> chooseDdsSurfaces(const DdsHeader& header, const DdsLayout& layout,
                                            const DdsSurfaceChoice& choice, uint64_t fileSize);

// "posx", "negx", "posy", "negy", "posz", "negz"; empty for kDdsNoFace.
std::string_view ddsFaceName(int32_t face);
