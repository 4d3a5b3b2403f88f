#include "batch/conversion_worker.h"

#include <algorithm>
#include <new>
#include <vector>

#include "batch/file_times.h"
#include "formats/signature.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text.h"

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

// Fills "%s1%" and "%s2%" in one pass, so a file name that itself holds a
// placeholder is printed as it is.
std::string fillTwo(const std::string& text, const std::string& first, const std::string& second) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const std::string_view rest = std::string_view(text).substr(i, 4);
    if (rest == "%s1%" || rest == "%S1%" || rest == "%s2%" || rest == "%S2%") {
      out += rest[2] == '1' ? first : second;
      i += 3;
      continue;
    }
    out.push_back(text[i]);
  }
  return out;
}

// convertFile, with running out of memory anywhere in it (a failed
// allocation throws std::bad_alloc in our own code) failing this file only.
bool convertGuarded(const ConversionSettings& settings, ConversionJob& job,
                    const PipelineResources& resources, const OutputGate& gate,
                    FileFailure* failure) {
  try {
    return convertFile(settings, job, resources, gate, failure);
  } catch (const std::bad_alloc&) {
    *failure = FileFailure{FileFailure::Kind::OutOfMemory, ""};
    return false;
  }
}

// The line a failure prints in every mode: the library messages that
// explain a refusal, or what ran out, or the reason the system gave.
void reportFailure(const FileFailure& failure, const ConversionJob& job, const WorkerTexts& texts,
                   Console& console) {
  std::vector<std::string> messages = takeLibraryMessages();
  if (failure.kind == FileFailure::Kind::OutOfMemory) {
    // Whatever a library said on the way down follows from the lack of memory.
    console.printLine("Error: " + fillTwo(texts.notEnoughMemory,
                                          escapeForDisplay(job.currentFile), ""));
    return;
  }
  // Library messages may quote a file name.
  for (const std::string& message : messages) {
    console.printLine("Error: " + escapeForDisplay(message));
  }
  if (failure.kind == FileFailure::Kind::WriteFailed) {
    console.printLine("Error: " + fillTwo(texts.unableToWrite, escapeForDisplay(job.outputFile),
                                          failure.reason));
  }
}

// Converts job.currentFile and reports it. Returns the milliseconds it took,
// or 0 when it was not converted. An output already written in this run is
// refused and the file fails with a line naming the earlier input.
int64_t convertCurrentFile(const ConversionSettings& settings, ConversionJob& job,
                           const PipelineResources& resources, WrittenOutputs& written,
                           const WorkerTexts& texts, bool debug, Console& console) {
  if (debug) {
    console.printLine("Processing: " + escapeForDisplay(job.currentFile));
    console.printLine("File Format: " + detectSignature(job.currentFile));
  }
  const int64_t startTime = monotonicMillis();
  const std::string* earlierInput = nullptr;
  const OutputGate gate = [&](const std::string& output) {
    earlierInput = written.writerOf(output);
    return earlierInput == nullptr;
  };
  FileFailure failure;
  const bool converted = convertGuarded(settings, job, resources, gate, &failure);
  reportFailure(failure, job, texts, console);
  if (earlierInput) {
    console.printLine("Error: " + fillTwo(texts.alreadyWritten, escapeForDisplay(job.outputFile),
                                          escapeForDisplay(*earlierInput)));
  }
  if (!converted) {
    if (debug) console.printLine("[ERROR] Unable to convert the file!");
    return 0;
  }
  written.record(job.outputFile, job.currentFile);
  if (debug) console.printLine("[OK] Saving As: " + escapeForDisplay(job.outputFile));
  const int64_t duration = std::max(monotonicMillis() - startTime, kMinimumDuration);
  job.randomNumber = randomInteger(1, 99999);
  job.fileCounter += 1;
  applyFileTimePolicy(settings, job);
  return duration;
}

}  // namespace

void conversionWorker(const ConversionSettings& settings, ConversionJob& job,
                      const InputSet& inputs, const PipelineResources& resources,
                      BatchProgress& progress, Console& console, const WorkerTexts& texts) {
  const bool debug = job.consoleMode != 0 && job.debugMode == "DEBUG";
  int32_t visited = 0;
  int32_t converted = 0;
  int64_t duration = 0;
  WrittenOutputs written;  // the run's outputs; this worker is the only writer
  for (const InputEntry& entry : inputs.entries()) {
    if (progress.running == 0) break;
    if (entry.listed != 1) continue;
    startFile(entry, ++visited, duration, job, progress);
    if (settings.keepSubfolders) ensureOutputSubfolder(job.outputFolder, job.currentSubfolder);
    duration = convertCurrentFile(settings, job, resources, written, texts, debug, console);
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
