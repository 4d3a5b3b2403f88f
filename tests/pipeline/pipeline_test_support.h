#pragma once

#include <string>

#include "settings/conversion_job.h"
#include "settings/conversion_settings.h"
#include "support/dds_builder.h"

// Settings and job as the preparation pass leaves them for one output format,
// converting inputFile into outputFolder.
struct ConversionSetup {
  ConversionSettings settings;
  ConversionJob job;
};
ConversionSetup makeSetup(const std::string& extension, const std::string& inputFile,
                          const std::string& outputFolder);

// Re-derives the run-wide job values after settings changed (save flags,
// requested depth from the format's depth option).
void prepareJob(ConversionSetup& setup, int32_t requestedBpp = 0);

// Quadrants of distinct colours, half-transparent at the bottom right, so that
// flips, channel swaps and lost alpha all show.
Rgba quadrantPixel(int x, int y, int width, int height);
