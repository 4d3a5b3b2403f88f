#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pipeline/bitmap.h"
#include "settings/conversion_job.h"
#include "settings/conversion_settings.h"

class WatermarkFont;

// Resources the pipeline uses, prepared once per run. A thread converting
// files needs a set of its own: a font is used by one thread at a time.
struct PipelineResources {
  const WatermarkFont* watermarkFont = nullptr;  // loaded by the preparation pass
};

// Converts job.currentFile: load, the operation chain, depth conversion. It
// neither names nor saves: the batch does that with the image it returns.
// Writes the file's facts into job: sourceBpp, imageWidth, imageHeight,
// frameIndex and, with automatic depth, requestedBpp. Returns the image to
// save, or null when the file cannot be converted (a library message on the
// way fails it too; the messages stay recorded for the calling thread).
Bitmap convertFile(const ConversionSettings& settings, ConversionJob& job,
                   const PipelineResources& resources);

// FreeImage save flags for an output extension from that format's options.
int32_t computeSaveFlags(const std::string& extension, const ConversionSettings& settings);

// Messages the image libraries reported on this thread since the last call;
// the worker prints each one as an error line.
std::vector<std::string> takeLibraryMessages();
