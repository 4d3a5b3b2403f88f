#include "pipeline/greyscale.h"

Bitmap applyGreyscale(Bitmap image, const ConversionSettings& /*settings*/) { return image; }
