#pragma once

#include "settings/conversion_settings.h"
#include "settings/debug_report.h"

// Reports the colour options that differ from their defaults (a run without
// them reports what it always did) and checks the two typed values. False,
// with the error line printed, for an exposure or swizzle that is not valid.
bool reportColourOptions(const ConversionSettings& settings, DebugReport& report);
