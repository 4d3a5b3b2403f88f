#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "batch/input_set.h"
#include "pipeline/bitmap.h"
#include "pipeline/convert_file.h"
#include "settings/conversion_job.h"
#include "settings/conversion_settings.h"

// One file on its way from a worker, which converts it, to the committer,
// which names, saves and reports it in input order.
struct FileInWork {
  ConversionJob job;                  // the run's job with this file's values and facts
  Bitmap image;                       // the finished image; null when the file failed
  std::vector<std::string> messages;  // what the image libraries reported on the way
  int64_t startTime = 0;              // monotonic milliseconds when the work began
};

// Worker side: converts entry as file number counter (%n%) with a %rnd% of
// its own. runJob is only read.
FileInWork convertEntry(const ConversionSettings& settings, const ConversionJob& runJob,
                        const InputEntry& entry, int32_t counter,
                        const PipelineResources& resources);

// Asked with the final output path just before the file is written; false
// keeps that file from being written and the conversion fails.
using OutputGate = std::function<bool(const std::string& outputPath)>;

// Committer side: names the output (job.outputFile, tempOutputFile) and,
// when mayWrite agrees (or is empty), saves the image there; messages of the
// save join file.messages. True when the output file was written.
bool saveConverted(const ConversionSettings& settings, FileInWork& file,
                   const OutputGate& mayWrite = nullptr);

// Both on the calling thread for job.currentFile, which keeps the file's
// facts and names; library messages stay recorded for the thread.
bool convertAndSaveFile(const ConversionSettings& settings, ConversionJob& job,
                        const PipelineResources& resources);
