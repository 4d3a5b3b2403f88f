#include "pipeline/watermark.h"

Bitmap applyWatermark(Bitmap image, int32_t /*width*/, int32_t /*height*/,
                      const ConversionSettings& /*settings*/, const ConversionJob& /*job*/,
                      const WatermarkFont* /*font*/) {
  return image;
}
