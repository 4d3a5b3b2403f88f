#pragma once

#include "settings/conversion_job.h"
#include "settings/conversion_settings.h"

// fileTimestamp values.
inline constexpr uint8_t kFileTimeCurrent = 0;
inline constexpr uint8_t kFileTimeOriginal = 1;
inline constexpr uint8_t kFileTimeCustom = 2;

// After a successful save: CURRENT leaves job.outputFile's times alone,
// ORIGINAL gives it the last-modification time of job.currentFile, CUSTOM the
// local date value customTimestamp. Only the modification time changes; a
// time that cannot be read or set is ignored.
void applyFileTimePolicy(const ConversionSettings& settings, const ConversionJob& job);
