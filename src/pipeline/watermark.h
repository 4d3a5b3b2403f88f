#pragma once

#include <cstdint>

#include "formats/bitmap.h"
#include "settings/conversion_job.h"
#include "settings/conversion_settings.h"

// The watermark font, loaded once per run by the preparation pass.
class WatermarkFont;

// Lays the text or picture watermark over the image when watermarkKind is set;
// the image always leaves as 24-bit then. width and height are the image's size.
Bitmap applyWatermark(Bitmap image, int32_t width, int32_t height,
                      const ConversionSettings& settings, const ConversionJob& job,
                      const WatermarkFont* font);
