#pragma once

#include "pipeline/bitmap.h"
#include "settings/conversion_job.h"
#include "settings/conversion_settings.h"

// Saves a converted image to job.outputFile with the writer of the output
// format, through job.tempOutputFile, so an existing output survives any
// failure. True when the output file was written.
bool saveImage(FIBITMAP* image, const ConversionSettings& settings, const ConversionJob& job);
