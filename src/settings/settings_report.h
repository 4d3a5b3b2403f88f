#pragma once

#include <cstdint>
#include <string>

#include "settings/conversion_settings.h"
#include "settings/debug_report.h"
#include "settings/format_settings.h"

// Echo and check of the settings, step by step in the order of the report.
// A function that can fail prints its "Error: " line and returns false; the
// caller stops at the first failure.

// "DDS Load As: ", then the lines of the chosen output format's save options
// and their checks (depth, then quality for jpg and webp).
bool reportSaveOptions(const ConversionSettings& settings, const std::string& conversion,
                       DebugReport& report);

// Rotation, resize, flips, tone, greyscale, threshold, dithering and frame.
bool reportOperations(const ConversionSettings& settings, DebugReport& report);

// "Watermark: " and the lines of the chosen kind.
void reportWatermark(const ConversionSettings& settings, DebugReport& report);

// Mask, timestamp and subfolder lines.
void reportOutputNaming(const ConversionSettings& settings, DebugReport& report);
