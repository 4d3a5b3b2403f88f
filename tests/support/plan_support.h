#pragma once

#include <cstdint>
#include <string>

#include "batch/file_conversion.h"
#include "pipeline/file_job.h"
#include "settings/conversion_settings.h"
#include "settings/run_targets.h"

// The batch and the pipeline see a run only through its plan. A test
// describes a run as the user's settings, the command line as the
// preparation pass resolves it, and the values of the one file at hand.
struct TestRun {
  ConversionSettings settings;
  RunTargets run;
  FileJob job;
  int32_t requestedBpp = 0;  // the output format's depth option; 0 automatic
};

// The run plan of test, its depth taken from test.requestedBpp.
BatchPlan planOf(const TestRun& test);

// The output name of test.job's file under the run's filename mask.
std::string expandFilenameMask(const TestRun& test);

// The run's watermark text expanded for test.job's file.
std::string expandWatermarkText(const TestRun& test);

// The full output path of test.job's file.
std::string makeOutputPath(const TestRun& test);

// Converts, names and writes test.job.currentFile on the calling thread; the
// file's facts and names (outputFile, sourceBpp, size, depth) come back in test.job.
bool convertAndSaveFile(TestRun& test, const PipelineResources& resources,
                        FileFailure* failure = nullptr);
