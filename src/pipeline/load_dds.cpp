#include "pipeline/load_dds.h"

Bitmap loadDdsImage(const std::string& path, const DdsSurfaceId& surface, DdsImageFacts* facts,
                    std::string* refusal) {
  return readDdsFileSurface(path, surface, facts, refusal);
}

Bitmap loadDdsBytes(const std::string& bytes, const DdsSurfaceId& surface, DdsImageFacts* facts,
                    std::string* refusal) {
  return readDdsSurface(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), surface, facts,
                        refusal);
}
