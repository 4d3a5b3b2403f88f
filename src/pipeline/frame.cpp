#include "pipeline/frame.h"

Bitmap applyFrame(Bitmap image, int32_t /*width*/, int32_t /*height*/,
                  const ConversionSettings& /*settings*/) {
  return image;
}
