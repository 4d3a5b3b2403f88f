#include "pipeline/flip.h"

Bitmap flipImage(Bitmap image, const ConversionSettings& /*settings*/) { return image; }
