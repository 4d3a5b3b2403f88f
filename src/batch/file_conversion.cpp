#include "batch/file_conversion.h"

#include "batch/output_naming.h"
#include "pipeline/save_image.h"
#include "pipeline/temp_path.h"
#include "platform/clock.h"

namespace {

void nameOutput(const ConversionSettings& settings, ConversionJob& job) {
  job.outputFile = makeOutputPath(settings, job);
  job.tempOutputFile = makeTempPath(settings, job);
}

}  // namespace

FileInWork convertEntry(const ConversionSettings& settings, const ConversionJob& runJob,
                        const InputEntry& entry, int32_t counter,
                        const PipelineResources& resources) {
  FileInWork file;
  file.startTime = monotonicMillis();
  file.job = runJob;
  file.job.currentFile = entry.path;
  file.job.currentSubfolder = entry.subfolder;
  file.job.fileCounter = counter;
  file.job.randomNumber = randomInteger(1, 99999);
  file.image = convertFile(settings, file.job, resources);
  file.messages = takeLibraryMessages();
  if (!file.messages.empty()) file.image.reset();
  return file;
}

bool saveConverted(const ConversionSettings& settings, FileInWork& file,
                   const OutputGate& mayWrite) {
  nameOutput(settings, file.job);
  if (!file.image) return false;
  if (mayWrite && !mayWrite(file.job.outputFile)) return false;
  const bool saved = saveImage(file.image.get(), settings, file.job);
  file.image.reset();
  for (std::string& message : takeLibraryMessages()) file.messages.push_back(std::move(message));
  return saved;
}

bool convertAndSaveFile(const ConversionSettings& settings, ConversionJob& job,
                        const PipelineResources& resources) {
  Bitmap image = convertFile(settings, job, resources);
  nameOutput(settings, job);
  return image && saveImage(image.get(), settings, job);
}
