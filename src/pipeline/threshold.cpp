#include "pipeline/threshold.h"

Bitmap applyThreshold(Bitmap image, const ConversionSettings& /*settings*/) { return image; }
