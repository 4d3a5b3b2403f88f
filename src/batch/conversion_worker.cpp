#include "batch/conversion_worker.h"

#include <algorithm>
#include <atomic>
#include <memory>

#include "batch/file_conversion.h"
#include "batch/file_times.h"
#include "batch/ordered_run.h"
#include "batch/worker_count.h"
#include "formats/dds/dds_surfaces.h"
#include "formats/signature.h"
#include "pipeline/drawing/watermark_font.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/threads.h"

namespace {

// A successful file never reports less than this many milliseconds.
constexpr int64_t kMinimumDuration = 1000;

void startFile(const InputEntry& entry, int32_t visited, int64_t previousDuration,
               BatchProgress& progress) {
  std::lock_guard<std::mutex> hold(progress.progressLock);
  progress.index = visited;
  progress.currentName = entry.path;
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
std::vector<PipelineResources> workerResources(const FontRequest& font,
                                               const PipelineResources& shared, int32_t workers,
                                               std::vector<std::unique_ptr<WatermarkFont>>& fonts) {
  std::vector<PipelineResources> resources(1, shared);
  if (workers < 2) return resources;
  resources.clear();
  for (int32_t worker = 0; worker < workers; ++worker) {
    PipelineResources own = shared;
    if (shared.watermarkFont) {
      fonts.push_back(createWatermarkFont(font));
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
  Committer(const BatchPlan& plan, const PipelineResources& resources, BatchProgress& progress,
            Console& console, const WorkerTexts& texts)
      : plan_(plan),
        resources_(resources),
        progress_(progress),
        console_(console),
        texts_(texts),
        counter_(plan.firstCounter) {}

  // The %n% a worker gives the file at index: every earlier input not known
  // to have written nothing is taken to write something.
  int32_t expectedCounter(int32_t index) const {
    return plan_.firstCounter + index - failures_.load();
  }

  // Saves every surface of input in order. The input counts as converted
  // when all of them were written; %n% moves on once per input that wrote
  // anything, so its surfaces share the number and the next input never
  // takes it again.
  void commit(const InputEntry& entry, InputInWork& input) {
    startFile(entry, ++visited_, duration_, progress_);
    if (plan_.naming.keepSubfolders) {
      ensureOutputSubfolder(plan_.naming.outputFolder, entry.subfolder);
    }
    if (plan_.debugLines) {
      console_.printLine("Processing: " + escapeForDisplay(entry.path));
      console_.printLine("File Format: " + detectSignature(entry.path));
    }
    // The watermark showed a number an earlier failure has taken back: draw
    // it again with the true one.
    if (plan_.counterInWatermark && input.counter != counter_) {
      input = convertEntry(plan_, entry, counter_, resources_);
    }
    if (input.overLimit) {
      console_.printLine("Error: " + fillTwo(texts_.tooManySurfaces, escapeForDisplay(entry.path),
                                             std::to_string(kDdsMaxLayers)));
    }
    size_t saved = 0;
    for (FileInWork& file : input.surfaces) {
      if (saveSurface(file)) ++saved;
    }
    if (saved == 0) ++failures_;
    else counter_ += 1;
    if (input.surfaces.empty() || saved < input.surfaces.size()) {
      if (input.surfaces.empty() && plan_.debugLines) {
        console_.printLine("[ERROR] Unable to convert the file!");
      }
      duration_ = 0;
      return;
    }
    duration_ = std::max(monotonicMillis() - input.startTime, kMinimumDuration);
    ++converted_;
  }

  int32_t converted() const { return converted_; }

 private:
  // Names, writes and reports one converted surface; true when written. An
  // output already written in this run is refused with a line naming the
  // earlier input.
  bool saveSurface(FileInWork& file) {
    file.job.fileCounter = counter_;
    const std::string* earlierInput = nullptr;
    const bool saved = saveConverted(plan_, file, [&](const std::string& output) {
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
      if (plan_.debugLines) console_.printLine("[ERROR] Unable to convert the file!");
      return false;
    }
    for (const std::string* output : {&file.job.outputFile, &file.alphaOutputFile}) {
      if (output->empty()) continue;
      written_.record(*output, file.job.currentFile);
      if (plan_.debugLines) console_.printLine("[OK] Saving As: " + escapeForDisplay(*output));
    }
    applyFileTimePolicy(plan_.fileTimes, file.job.currentFile, file.job.outputFile);
    return true;
  }

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
    if (file.failure.kind == FileFailure::Kind::VerifyFailed) {
      console_.printLine("Error: " + fillTwo(texts_.verificationFailed,
                                             escapeForDisplay(file.job.outputFile),
                                             file.failure.reason));
    }
  }

  const BatchPlan& plan_;
  const PipelineResources& resources_;
  BatchProgress& progress_;
  Console& console_;
  const WorkerTexts& texts_;
  WrittenOutputs written_;  // the run's outputs; the committer is the only writer
  int32_t counter_;                   // "%n%" of the next input that writes anything
  std::atomic<int32_t> failures_{0};  // inputs that wrote nothing
  int32_t visited_ = 0;
  int32_t converted_ = 0;
  int64_t duration_ = 0;
};

}  // namespace

void conversionWorker(const BatchPlan& plan, const InputSet& inputs,
                      const PipelineResources& resources, BatchProgress& progress,
                      Console& console, const WorkerTexts& texts) {
  const std::vector<const InputEntry*> entries = listedEntries(inputs);
  const int32_t count = static_cast<int32_t>(entries.size());
  std::vector<std::unique_ptr<WatermarkFont>> fonts;
  const std::vector<PipelineResources> perWorker = workerResources(
      plan.watermarkFont, resources, workerCount(plan.threadCount, availableCores(), count), fonts);
  Committer committer(plan, resources, progress, console, texts);
  runOrdered<InputInWork>(
      count, static_cast<int32_t>(perWorker.size()),
      [&](int32_t worker, int32_t index) {
        return convertEntry(plan, *entries[static_cast<size_t>(index)],
                            committer.expectedCounter(index),
                            perWorker[static_cast<size_t>(worker)]);
      },
      [&](int32_t index, InputInWork& input) {
        committer.commit(*entries[static_cast<size_t>(index)], input);
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
