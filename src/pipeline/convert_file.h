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

// Why a file was not converted, for the one line the worker prints.
struct FileFailure {
  enum class Kind {
    None,          // converted
    NotConverted,  // unreadable input, a closed gate, or a refusal the library messages explain
    OutOfMemory,   // memory ran out on this file
    WriteFailed,   // the output could not be written; reason says why
  };
  Kind kind = Kind::None;
  std::string reason;  // the system's text for WriteFailed
};

// Asked with the final output path just before the file is written; false
// keeps that file from being written and the conversion fails.
using OutputGate = std::function<bool(const std::string& outputPath)>;

// Converts job.currentFile: load, the operation chain, depth conversion,
// encoding in memory, then the checked write (commitOutput). Writes
// job.sourceBpp, imageWidth, imageHeight, frameIndex, outputFile and
// tempOutputFile (the temporary name used, empty when none was). True when the
// output file was written; on failure nothing is left behind, an existing
// output file is untouched, and failure (when given) says why. Without a gate
// every output may be written.
bool convertFile(const ConversionSettings& settings, ConversionJob& job,
                 const PipelineResources& resources, const OutputGate& mayWrite = nullptr,
                 FileFailure* failure = nullptr);

// FreeImage save flags for an output extension from that format's options.
int32_t computeSaveFlags(const std::string& extension, const ConversionSettings& settings);

// Messages the image libraries reported on this thread since the last call;
// the worker prints each one as an error line.
std::vector<std::string> takeLibraryMessages();
