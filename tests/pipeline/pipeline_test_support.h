#pragma once

#include <string>

#include "support/dds_builder.h"
#include "support/plan_support.h"

// A run as the preparation pass leaves it for one output format, converting
// inputFile into outputFolder.
using ConversionSetup = TestRun;
ConversionSetup makeSetup(const std::string& extension, const std::string& inputFile,
                          const std::string& outputFolder);

// Sets the format's depth option the run converts with (0 automatic).
void prepareJob(ConversionSetup& setup, int32_t requestedBpp = 0);

// Quadrants of distinct colours, half-transparent at the bottom right, so that
// flips, channel swaps and lost alpha all show.
Rgba quadrantPixel(int x, int y, int width, int height);
