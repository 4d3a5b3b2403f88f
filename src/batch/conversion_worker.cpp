#include "batch/conversion_worker.h"

#include <algorithm>
#include <new>
#include <vector>

#include "batch/file_times.h"
#include "formats/signature.h"
#include "platform/clock.h"
#include "platform/files.h"

namespace {

// A successful file never reports less than this many milliseconds.
constexpr int64_t kMinimumDuration = 1000;

void startFile(const InputEntry& entry, int32_t visited, int64_t previousDuration,
               ConversionJob& job, BatchProgress& progress) {
  job.currentFile = entry.path;
  job.currentSubfolder = entry.subfolder;
  std::lock_guard<std::mutex> hold(progress.progressLock);
  progress.index = visited;
  progress.currentName = job.currentFile;
  progress.lastDuration = previousDuration;
}

// convertFile, with running out of memory anywhere in it (a failed
// allocation throws std::bad_alloc in our own code) failing this file only.
bool convertGuarded(const ConversionSettings& settings, ConversionJob& job,
                    const PipelineResources& resources, FileFailure* failure) {
  try {
    return convertFile(settings, job, resources, failure);
  } catch (const std::bad_alloc&) {
    *failure = FileFailure{FileFailure::Kind::OutOfMemory, ""};
    return false;
  }
}

// The one line a failure prints in every mode: the library messages that
// explain a refusal, or the reason the system gave.
void reportFailure(const FileFailure& failure, const ConversionJob& job, Console& console) {
  std::vector<std::string> messages = takeLibraryMessages();
  if (failure.kind == FileFailure::Kind::OutOfMemory) {
    // Whatever a library said on the way down follows from the lack of memory.
    console.printLine("Error: Not enough memory to convert " + job.currentFile);
    return;
  }
  for (const std::string& message : messages) console.printLine("Error: " + message);
  if (failure.kind == FileFailure::Kind::WriteFailed) {
    console.printLine("Error: Unable to write " + job.outputFile + ": " + failure.reason);
  }
}

// Converts job.currentFile and reports it. Returns the milliseconds it took,
// or 0 when it was not converted.
int64_t convertCurrentFile(const ConversionSettings& settings, ConversionJob& job,
                           const PipelineResources& resources, bool debug, Console& console) {
  if (debug) {
    console.printLine("Processing: " + job.currentFile);
    console.printLine("File Format: " + detectSignature(job.currentFile));
  }
  const int64_t startTime = monotonicMillis();
  FileFailure failure;
  const bool converted = convertGuarded(settings, job, resources, &failure);
  reportFailure(failure, job, console);
  if (!converted) {
    if (debug) console.printLine("[ERROR] Unable to convert the file!");
    return 0;
  }
  if (debug) console.printLine("[OK] Saving As: " + job.outputFile);
  const int64_t duration = std::max(monotonicMillis() - startTime, kMinimumDuration);
  job.randomNumber = randomInteger(1, 99999);
  job.fileCounter += 1;
  applyFileTimePolicy(settings, job);
  return duration;
}

}  // namespace

void conversionWorker(const ConversionSettings& settings, ConversionJob& job,
                      const InputSet& inputs, const PipelineResources& resources,
                      BatchProgress& progress, Console& console) {
  const bool debug = job.consoleMode != 0 && job.debugMode == "DEBUG";
  int32_t visited = 0;
  int32_t converted = 0;
  int64_t duration = 0;
  for (const InputEntry& entry : inputs.entries()) {
    if (progress.running == 0) break;
    if (entry.listed != 1) continue;
    startFile(entry, ++visited, duration, job, progress);
    if (settings.keepSubfolders) ensureOutputSubfolder(job.outputFolder, job.currentSubfolder);
    duration = convertCurrentFile(settings, job, resources, debug, console);
    if (duration > 0) ++converted;
  }
  std::lock_guard<std::mutex> hold(progress.progressLock);
  progress.count = converted;
}

void ensureOutputSubfolder(const std::string& outputFolder, const std::string& subfolder) {
  if (subfolder.empty() || isFolder(outputFolder + subfolder)) return;
  std::string folder = outputFolder;
  size_t start = 0;
  while (start < subfolder.size()) {
    size_t end = subfolder.find(kPathSeparator, start);
    if (end == std::string::npos) end = subfolder.size();
    folder += subfolder.substr(start, end - start) + kPathSeparator;
    if (!isFolder(folder)) createFolder(folder);
    start = end + 1;
  }
}
