#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "settings/conversion_job.h"
#include "settings/conversion_settings.h"

class WatermarkFont;

// Process-wide resources the pipeline uses, prepared once per run.
struct PipelineResources {
  const WatermarkFont* watermarkFont = nullptr;  // loaded by the preparation pass
};

// Asked with the final output path just before the file is written; false
// keeps that file from being written and the conversion fails.
using OutputGate = std::function<bool(const std::string& outputPath)>;

// Converts job.currentFile: load, the operation chain, depth conversion, save.
// Writes job.sourceBpp, imageWidth, imageHeight, frameIndex, outputFile and
// tempOutputFile. True when the output file was written; on failure nothing
// is left behind and an existing output file is untouched. Without a gate
// every output may be written.
bool convertFile(const ConversionSettings& settings, ConversionJob& job,
                 const PipelineResources& resources, const OutputGate& mayWrite = nullptr);

// FreeImage save flags for an output extension from that format's options.
int32_t computeSaveFlags(const std::string& extension, const ConversionSettings& settings);

// Messages the image libraries reported on this thread since the last call;
// the worker prints each one as an error line.
std::vector<std::string> takeLibraryMessages();
