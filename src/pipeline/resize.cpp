#include "pipeline/resize.h"

Bitmap resizeImage(Bitmap image, int32_t /*width*/, int32_t /*height*/,
                   const ConversionSettings& /*settings*/) {
  return image;
}
