#pragma once

#include <string>

#include "batch/file_conversion.h"
#include "settings/conversion_job.h"
#include "settings/conversion_settings.h"

// The batch and the pipeline see a run only through its plan. These helpers
// let a test describe a run with the two records, as a user's options do.

// The output name of job's file under the run's filename mask.
std::string expandFilenameMask(const ConversionSettings& settings, const ConversionJob& job);

// The run's watermark text expanded for job's file.
std::string expandWatermarkText(const ConversionSettings& settings, const ConversionJob& job);

// The full output path of job's file.
std::string makeOutputPath(const ConversionSettings& settings, const ConversionJob& job);

// Converts, names and writes job.currentFile on the calling thread; the
// file's facts and names (outputFile, sourceBpp, size, depth) come back in job.
bool convertAndSaveFile(const ConversionSettings& settings, ConversionJob& job,
                        const PipelineResources& resources, FileFailure* failure = nullptr);
