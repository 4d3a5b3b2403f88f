#include "pipeline/rotate.h"

Bitmap rotateImage(Bitmap image, const ConversionSettings& /*settings*/) { return image; }
