#include "support/plan_support.h"

#include "pipeline/name_tokens.h"
#include "settings/run_plan.h"

namespace {

// The per-file values a job holds, as the batch keeps them for one file.
FileJob fileJobOf(const ConversionJob& job) {
  FileJob file;
  file.currentFile = job.currentFile;
  file.currentSubfolder = job.currentSubfolder;
  file.outputFile = job.outputFile;
  file.tempOutputFile = job.tempOutputFile;
  file.randomNumber = job.randomNumber;
  file.fileCounter = job.fileCounter;
  file.surface = job.surface;
  file.severalMips = job.severalMips != 0;
  file.severalFaces = job.severalFaces != 0;
  file.severalLayers = job.severalLayers != 0;
  file.sourceBpp = job.sourceBpp;
  file.imageWidth = job.imageWidth;
  file.imageHeight = job.imageHeight;
  file.frameIndex = job.frameIndex;
  file.requestedBpp = job.requestedBpp;
  return file;
}

}  // namespace

std::string expandFilenameMask(const ConversionSettings& settings, const ConversionJob& job) {
  const BatchPlan plan = planRun(settings, job);
  return expandFilenameMask(plan.naming.mask, tokenValuesOf(fileJobOf(job), plan.naming.extension,
                                                            plan.naming.surfaceTokens));
}

std::string expandWatermarkText(const ConversionSettings& settings, const ConversionJob& job) {
  const BatchPlan plan = planRun(settings, job);
  return expandWatermarkText(plan.chain.watermark.text.text,
                             tokenValuesOf(fileJobOf(job), plan.chain.depth.extension,
                                           plan.chain.surfaceTokens));
}

std::string makeOutputPath(const ConversionSettings& settings, const ConversionJob& job) {
  return makeOutputPath(planRun(settings, job).naming, fileJobOf(job));
}

bool convertAndSaveFile(const ConversionSettings& settings, ConversionJob& job,
                        const PipelineResources& resources, FileFailure* failure) {
  FileJob file = fileJobOf(job);
  const bool saved = convertAndSaveFile(planRun(settings, job), file, resources, failure);
  job.outputFile = file.outputFile;
  job.tempOutputFile = file.tempOutputFile;
  job.sourceBpp = file.sourceBpp;
  job.imageWidth = file.imageWidth;
  job.imageHeight = file.imageHeight;
  job.frameIndex = file.frameIndex;
  job.requestedBpp = file.requestedBpp;
  return saved;
}
