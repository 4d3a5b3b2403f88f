#pragma once

#include "formats/bitmap.h"
#include "settings/conversion_settings.h"

// Brightness, contrast, gamma and inversion.
// Hands back the bitmap to go on with (the same one when nothing changes).
Bitmap applyColorCorrection(Bitmap image, const ConversionSettings& settings);
