#include "pipeline/load_dds.h"

Bitmap loadDdsImage(const std::string& path, const DdsSurfaceId& surface, DdsImageFacts* facts,
                    std::string* refusal) {
  return readDdsFileSurface(path, surface, facts, refusal);
}
