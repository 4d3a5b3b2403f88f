#include "pipeline/load_dds.h"

Bitmap loadDdsImage(const std::string& path, const DdsSurfaceId& surface, DdsImageFacts* facts) {
  return readDdsFileSurface(path, surface, facts);
}
