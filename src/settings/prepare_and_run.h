#pragma once

#include "platform/console.h"
#include "settings/conversion_job.h"
#include "settings/conversion_settings.h"

// Checks input, output and conversion, reports the settings in debug mode,
// builds the input set, runs the conversion worker and prints the summary.
// The first failed check prints one "Error: " line and ends the run.
void prepareAndRun(ConversionSettings& settings, ConversionJob& job, bool quiet, Console& console);
