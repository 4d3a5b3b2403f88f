#include "batch/conversion_worker.h"

#include <algorithm>

#include "batch/file_times.h"
#include "batch/surface_selection.h"
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

// Converts job.surface of job.currentFile and reports it; true when written.
bool convertCurrentSurface(const ConversionSettings& settings, ConversionJob& job,
                           const PipelineResources& resources, bool debug, Console& console) {
  const bool converted = convertFile(settings, job, resources);
  for (const std::string& message : takeLibraryMessages()) console.printLine("Error: " + message);
  if (!converted) {
    if (debug) console.printLine("[ERROR] Unable to convert the file!");
    return false;
  }
  if (debug) console.printLine("[OK] Saving As: " + job.outputFile);
  applyFileTimePolicy(settings, job);
  return true;
}

// Converts every chosen surface of job.currentFile (one unless --mipmaps,
// --faces or --layers ask for more) and reports each. Returns the
// milliseconds it took, or 0 when not every surface was written. %n% and
// %rnd% move on once per input that wrote anything, so the surfaces of one
// input share them and the next input never reuses them.
int64_t convertCurrentFile(const ConversionSettings& settings, ConversionJob& job,
                           const PipelineResources& resources, bool debug, Console& console) {
  if (debug) {
    console.printLine("Processing: " + job.currentFile);
    console.printLine("File Format: " + detectSignature(job.currentFile));
  }
  const int64_t startTime = monotonicMillis();
  const SurfacePlan plan = planSurfaces(settings, job.currentFile);
  job.severalMips = plan.severalMips;
  job.severalFaces = plan.severalFaces;
  job.severalLayers = plan.severalLayers;
  size_t written = 0;
  for (const DdsSurfaceId& surface : plan.surfaces) {
    job.surface = surface;
    if (convertCurrentSurface(settings, job, resources, debug, console)) ++written;
  }
  if (written > 0) {
    job.randomNumber = randomInteger(1, 99999);
    job.fileCounter += 1;
  }
  if (written < plan.surfaces.size()) return 0;
  return std::max(monotonicMillis() - startTime, kMinimumDuration);
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
