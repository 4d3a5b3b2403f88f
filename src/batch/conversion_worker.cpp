#include "batch/conversion_worker.h"

#include <algorithm>
#include <atomic>
#include <memory>

#include "batch/file_conversion.h"
#include "batch/file_times.h"
#include "batch/ordered_run.h"
#include "batch/worker_count.h"
#include "formats/signature.h"
#include "pipeline/drawing/watermark_font.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/threads.h"
#include "settings/run_plan.h"

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

std::vector<const InputEntry*> listedEntries(const InputSet& inputs) {
  std::vector<const InputEntry*> listed;
  for (const InputEntry& entry : inputs.entries()) {
    if (entry.listed == 1) listed.push_back(&entry);
  }
  return listed;
}

// The resources of each worker thread. A font serves one thread at a time,
// so every worker but a lone one gets a font of its own. Fewer entries than
// asked for when a font cannot be made: the run then has fewer workers.
std::vector<PipelineResources> workerResources(const ConversionSettings& settings,
                                               const PipelineResources& shared, int32_t workers,
                                               std::vector<std::unique_ptr<WatermarkFont>>& fonts) {
  std::vector<PipelineResources> resources(1, shared);
  if (workers < 2) return resources;
  resources.clear();
  for (int32_t worker = 0; worker < workers; ++worker) {
    PipelineResources own = shared;
    if (shared.watermarkFont) {
      fonts.push_back(createWatermarkFont(planWatermarkFont(settings)));
      if (!fonts.back()) break;
      own.watermarkFont = fonts.back().get();
    }
    resources.push_back(own);
  }
  if (resources.empty()) resources.push_back(shared);
  return resources;
}

// The committer: takes the files in input order, names, saves and reports
// each, and keeps the run's counters, exactly as one thread converting the
// files one after another would.
class Committer {
 public:
  Committer(const ConversionSettings& settings, ConversionJob& job,
            const PipelineResources& resources, BatchProgress& progress, Console& console,
            const WorkerTexts& texts)
      : settings_(settings),
        job_(job),
        base_(job),
        resources_(resources),
        progress_(progress),
        console_(console),
        texts_(texts),
        debug_(job.consoleMode != 0 && job.debugMode == "DEBUG"),
        counterInText_(settings.watermarkKind == 1 &&
                       countIgnoringCase(settings.wmText, "%n%") > 0) {}

  // The %n% a worker gives the file at index: every earlier file not known
  // to have failed is taken to succeed.
  int32_t expectedCounter(int32_t index) const {
    return base_.fileCounter + index - failures_.load();
  }

  // The run's job as it was before the first file; workers copy it.
  const ConversionJob& base() const { return base_; }

  void commit(const InputEntry& entry, FileInWork& file) {
    startFile(entry, ++visited_, duration_, job_, progress_);
    if (settings_.keepSubfolders) ensureOutputSubfolder(job_.outputFolder, job_.currentSubfolder);
    if (debug_) {
      console_.printLine("Processing: " + escapeForDisplay(job_.currentFile));
      console_.printLine("File Format: " + detectSignature(job_.currentFile));
    }
    // The watermark showed a number an earlier failure has taken back: draw
    // it again with the true one.
    if (counterInText_ && file.job.fileCounter != job_.fileCounter) {
      file = convertEntry(settings_, base_, entry, job_.fileCounter, resources_);
    }
    file.job.fileCounter = job_.fileCounter;
    const std::string* earlierInput = nullptr;
    const bool saved = saveConverted(settings_, file, [&](const std::string& output) {
      earlierInput = written_.writerOf(output);
      return earlierInput == nullptr;
    });
    reportFailure(file);
    if (earlierInput) {
      console_.printLine("Error: " + fillTwo(texts_.alreadyWritten,
                                             escapeForDisplay(file.job.outputFile),
                                             escapeForDisplay(*earlierInput)));
    }
    if (!saved) {
      if (debug_) console_.printLine("[ERROR] Unable to convert the file!");
      ++failures_;
      duration_ = 0;
      return;
    }
    written_.record(file.job.outputFile, file.job.currentFile);
    if (debug_) console_.printLine("[OK] Saving As: " + escapeForDisplay(file.job.outputFile));
    duration_ = std::max(monotonicMillis() - file.startTime, kMinimumDuration);
    job_.fileCounter += 1;
    applyFileTimePolicy(settings_, file.job);
    ++converted_;
  }

  int32_t converted() const { return converted_; }

 private:
  // The lines a failure prints in every mode: the library messages that
  // explain a refusal, or what ran out, or the reason the system gave.
  void reportFailure(const FileInWork& file) {
    if (file.failure.kind == FileFailure::Kind::OutOfMemory) {
      console_.printLine("Error: " + fillTwo(texts_.notEnoughMemory,
                                             escapeForDisplay(file.job.currentFile), ""));
      return;
    }
    // Library messages may quote a file name.
    for (const std::string& message : messagesToReport(file)) {
      console_.printLine("Error: " + escapeForDisplay(message));
    }
    if (file.failure.kind == FileFailure::Kind::WriteFailed) {
      console_.printLine("Error: " + fillTwo(texts_.unableToWrite,
                                             escapeForDisplay(file.job.outputFile),
                                             file.failure.reason));
    }
  }

  const ConversionSettings& settings_;
  ConversionJob& job_;
  const ConversionJob base_;
  const PipelineResources& resources_;
  BatchProgress& progress_;
  Console& console_;
  const WorkerTexts& texts_;
  WrittenOutputs written_;  // the run's outputs; the committer is the only writer
  const bool debug_;
  const bool counterInText_;
  std::atomic<int32_t> failures_{0};
  int32_t visited_ = 0;
  int32_t converted_ = 0;
  int64_t duration_ = 0;
};

}  // namespace

void conversionWorker(const ConversionSettings& settings, ConversionJob& job,
                      const InputSet& inputs, const PipelineResources& resources,
                      BatchProgress& progress, Console& console, const WorkerTexts& texts) {
  const std::vector<const InputEntry*> entries = listedEntries(inputs);
  const int32_t count = static_cast<int32_t>(entries.size());
  std::vector<std::unique_ptr<WatermarkFont>> fonts;
  const std::vector<PipelineResources> perWorker = workerResources(
      settings, resources, workerCount(job.threadCount, availableCores(), count), fonts);
  Committer committer(settings, job, resources, progress, console, texts);
  runOrdered<FileInWork>(
      count, static_cast<int32_t>(perWorker.size()),
      [&](int32_t worker, int32_t index) {
        return convertEntry(settings, committer.base(), *entries[static_cast<size_t>(index)],
                            committer.expectedCounter(index),
                            perWorker[static_cast<size_t>(worker)]);
      },
      [&](int32_t index, FileInWork& file) {
        committer.commit(*entries[static_cast<size_t>(index)], file);
      },
      [&] { return progress.running == 0; });
  std::lock_guard<std::mutex> hold(progress.progressLock);
  progress.count = committer.converted();
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
