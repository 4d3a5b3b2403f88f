#pragma once

#include "platform/console.h"
#include "settings/conversion_job.h"
#include "settings/conversion_settings.h"

// How a run ended, for the exit status.
enum class RunOutcome {
  kNotStarted,    // a check failed, or there was no input file
  kSomeFailed,    // at least one input file was not converted
  kAllConverted,  // every input file was converted
};

// Checks input, output and conversion, reports the settings in debug mode,
// builds the input set, runs the conversion worker and prints the summary.
// The first failed check prints one "Error: " line and ends the run.
// On a terminal (standard error) a progress line runs along unless quiet or
// settings.showProgress is 0.
RunOutcome prepareAndRun(const ConversionSettings& settings, const ConversionJob& job, bool quiet,
                         Console& console);
