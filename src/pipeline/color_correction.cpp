#include "pipeline/color_correction.h"

Bitmap applyColorCorrection(Bitmap image, const ConversionSettings& /*settings*/) { return image; }
