#include "pipeline/load_dds.h"

#include "formats/dds/dds_header.h"

Bitmap loadDdsImage(const std::string& path) {
  if (checkDdsFile(path) != DdsCheck::Ok) return Bitmap();
  // The char* call takes the UTF-8 path as it is; the wide-character one is
  // not available on every platform.
  return adoptBitmap(FreeImage_Load(FIF_DDS, path.c_str(), 0));
}
