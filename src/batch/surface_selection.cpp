#include "batch/surface_selection.h"

#include "platform/files.h"

SurfacePlan planSurfaces(const DdsSurfaceChoice& choice, const std::string& path) {
  SurfacePlan plan;
  DdsHeader header;
  // Without the options the file is not even opened here: the reader finds
  // the first surface on its own.
  if ((!choice.allMips && !choice.allFaces && !choice.allLayers && !choice.facesNamed) ||
      checkDdsFile(path, &header) != DdsCheck::Ok) {
    plan.surfaces.push_back(DdsSurfaceId{});
    return plan;
  }
  const DdsLayout layout = describeDdsLayout(header);
  if (exceedsDdsSurfaceLimits(header, layout, choice)) {
    plan.overLimit = true;
    return plan;
  }
  const DdsSurfaceDirectory directory = describeDdsSurfaces(header, layout);
  plan.surfaces = chooseDdsSurfaces(header, layout, choice, static_cast<uint64_t>(fileSize(path)));
  plan.severalMips = choice.allMips && directory.mipCount > 1;
  plan.severalFaces = choice.allFaces && directory.faces.size() > 1;
  plan.severalLayers = choice.allLayers && directory.layerCount > 1;
  return plan;
}
