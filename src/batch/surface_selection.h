#pragma once

#include <string>
#include <vector>

#include "formats/dds/dds_surfaces.h"

// The surfaces of one input file to convert, each into a file of its own,
// and which kinds of them come more than once (so names must tell them
// apart).
struct SurfacePlan {
  std::vector<DdsSurfaceId> surfaces;
  bool severalMips = false;
  bool severalFaces = false;
  bool severalLayers = false;
  bool overLimit = false;  // refused: more layers than a texture may hold; no surfaces
};

// From the kinds chosen by --mipmaps, --faces and --layers and the file's
// header. A file whose header fails the check gets its first surface only,
// so its conversion fails exactly as it always did. Without those options
// the plan is the first surface alone. A header claiming more array elements or depth
// slices than kDdsMaxLayers, with --layers=all, gets an empty plan marked
// overLimit instead of one surface per claimed slice. With facesNamed a cube
// map's first surface names its face even when only the first is chosen.
SurfacePlan planSurfaces(const DdsSurfaceChoice& choice, const std::string& path);
