#include "batch/conversion_worker.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <optional>

#include "batch/commit_output.h"
#include "batch/equal_inputs.h"
#include "batch/file_conversion.h"
#include "batch/file_hash.h"
#include "batch/file_link.h"
#include "batch/input_info.h"
#include "batch/skip_records.h"
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

// The outcome's error of a failed input that neither printed an error line
// nor was refused for a reason of its own (an encoder failing silently).
constexpr char kNotConvertedText[] = "the file could not be converted";

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
// so every worker but a lone one gets a font of its own, made when it first
// draws text.
std::vector<PipelineResources> workerResources(
    const FontRequest& font, const PipelineResources& shared, int32_t workers,
    std::vector<std::unique_ptr<WatermarkFontOnDemand>>& fonts) {
  std::vector<PipelineResources> resources(1, shared);
  if (workers < 2) return resources;
  resources.clear();
  for (int32_t worker = 0; worker < workers; ++worker) {
    PipelineResources own = shared;
    if (shared.watermarkFont) {
      fonts.push_back(std::make_unique<WatermarkFontOnDemand>(font));
      own.watermarkFont = fonts.back().get();
    }
    resources.push_back(own);
  }
  return resources;
}

// The committer: takes the files in input order, names, saves and reports
// each, and keeps the run's counters, exactly as one thread converting the
// files one after another would.
class Committer {
 public:
  Committer(const BatchPlan& plan, const PipelineResources& resources, BatchProgress& progress,
            Console& console, const WorkerTexts& texts, SkipRecords* records,
            const InputOutcomeSink& sink, int32_t inputs)
      : plan_(plan),
        resources_(resources),
        progress_(progress),
        console_(console),
        texts_(texts),
        records_(records),
        sink_(sink),
        counter_(plan.firstCounter) {
    written_.reserve(static_cast<size_t>(inputs));  // most inputs write one output
  }

  // The %n% a worker gives the file at index: every earlier input not known
  // to have written nothing is taken to write something.
  int32_t expectedCounter(int32_t index) const {
    return plan_.firstCounter + index - failures_.load();
  }

  // Saves every surface of input in order. The input counts as converted
  // when all of them were written; %n% moves on once per input that wrote
  // anything, so its surfaces share the number and the next input never
  // takes it again. An unchanged input and a duplicate count as converted.
  void commit(int32_t index, const InputEntry& entry, InputInWork& input) {
    startFile(entry, ++visited_, duration_, progress_);
    committing_ = &entry;
    outcome_ = InputOutcome{};
    outcome_.input = entry.path;
    // An output this run has already written (another input of the run names
    // it too) is no longer what the record says: the input is converted, and
    // refused as it would have been.
    if (input.unchanged && writtenThisRun(input.unchangedOutputs)) {
      input = convertEntry(plan_, entry, counter_, resources_);
    }
    if (input.unchanged) {
      outcome_.status = InputStatus::kUnchanged;
      outcome_.outputs = std::move(input.unchangedOutputs);
      for (const OutputFacts& output : outcome_.outputs) written_.record(output.path, entry.path);
      ++unchanged_;
      finishConverted(input);
      return;
    }
    if (plan_.naming.keepSubfolders && !plan_.dryRun) {
      ensureOutputSubfolder(plan_.naming.outputFolder, entry.subfolder);
    }
    if (plan_.debugLines) {
      console_.printLine("Processing: " + escapeForDisplay(entry.path));
      console_.printLine("File Format: " + detectSignature(entry.path));
    }
    if (input.duplicateOf >= 0 && commitDuplicate(index, entry, input)) return;
    // The watermark showed a number an earlier failure has taken back, or
    // the input was left for its duplicate that could not be linked: convert
    // it here with the true number.
    if ((plan_.counterInWatermark && input.counter != counter_) || input.duplicateOf >= 0) {
      input = convertEntry(plan_, entry, counter_, resources_);
    }
    if (input.overLimit) {
      error(fillTwo(texts_.tooManySurfaces, escapeForDisplay(entry.path),
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
      outcome_.status = InputStatus::kFailed;
      if (outcome_.error.empty()) outcome_.error = kNotConvertedText;
      finish();
      return;
    }
    if (plan_.dedupe) keepFirst(index, input);
    outcome_.status = InputStatus::kConverted;
    if (records_ && !plan_.dryRun) records_->write(index, entry.path, outcome_.outputs);
    ++converted_;
    duration_ = std::max(monotonicMillis() - input.startTime, kMinimumDuration);
    finish();
  }

  int32_t converted() const { return converted_; }
  int32_t unchanged() const { return unchanged_; }

 private:
  // What a converted input that later inputs repeat wrote: each surface's
  // values (for naming the repeats) and its output's facts.
  struct FirstOutput {
    FileJob job;         // outputFile: the first input's output
    bool alpha = false;  // the separate alpha image of that surface
    OutputFacts facts;
  };
  struct FirstOutputs {
    std::string input;
    std::vector<FirstOutput> outputs;
  };

  void keepFirst(int32_t index, const InputInWork& input) {
    FirstOutputs first{outcome_.input, {}};
    for (const FileInWork& file : input.surfaces) {
      first.outputs.push_back({file.job, false, {file.job.outputFile, file.outputBytes, file.outputSha256}});
      if (file.alphaOutputFile.empty()) continue;
      FileJob alpha = file.job;
      alpha.outputFile = file.alphaOutputFile;
      first.outputs.push_back({alpha, true, {file.alphaOutputFile, file.alphaBytes, file.alphaSha256}});
    }
    firsts_[index] = std::move(first);
  }

  bool writtenThisRun(const std::vector<OutputFacts>& outputs) const {
    for (const OutputFacts& output : outputs) {
      if (written_.writerOf(output.path)) return true;
    }
    return false;
  }

  void finishConverted(const InputInWork& input) {
    counter_ += 1;
    ++converted_;
    duration_ = std::max(monotonicMillis() - input.startTime, kMinimumDuration);
    finish();
  }

  void finish() {
    if (sink_) sink_(outcome_);
  }

  // Prints an error line of the current input; the first one is its
  // outcome's error.
  void error(const std::string& text) {
    console_.printLine("Error: " + text);
    if (outcome_.error.empty()) outcome_.error = text;
  }

  // Puts the outputs of the earlier input of equal bytes in place under this
  // input's names: hard links, or copies where a link cannot be made or the
  // outputs take their own input's time. False (nothing done) when the
  // earlier input wrote nothing: this one is then converted itself.
  bool commitDuplicate(int32_t index, const InputEntry& entry, const InputInWork& input) {
    const auto found = firsts_.find(input.duplicateOf);
    if (found == firsts_.end()) return false;
    const FirstOutputs& first = found->second;
    const int32_t random = randomInteger(1, 99999);
    size_t placed = 0;
    for (const FirstOutput& output : first.outputs) {
      FileJob job = output.job;
      job.currentFile = entry.path;
      job.currentSubfolder = entry.subfolder;
      job.fileCounter = counter_;
      job.randomNumber = random;
      job.outputFile = makeOutputPath(plan_.naming, job);
      if (output.alpha) job.outputFile = alphaOutputPath(job.outputFile);
      if (placeCopy(output.job.outputFile, output.facts, job)) ++placed;
    }
    if (placed < first.outputs.size()) {
      if (placed == 0) ++failures_;
      else counter_ += 1;
      duration_ = 0;
      outcome_.status = InputStatus::kFailed;
      finish();
      return true;
    }
    outcome_.status = InputStatus::kDuplicate;
    outcome_.of = first.input;
    if (records_ && !plan_.dryRun) records_->write(index, entry.path, outcome_.outputs);
    finishConverted(input);
    return true;
  }

  bool placeCopy(const std::string& from, const OutputFacts& facts, const FileJob& job) {
    if (const std::string* earlier = written_.writerOf(job.outputFile)) {
      error(fillTwo(texts_.alreadyWritten, escapeForDisplay(job.outputFile),
                    escapeForDisplay(*earlier)));
      return false;
    }
    if (!plan_.dryRun) {
      std::string reason;
      if (!linkOrCopy(from, job.outputFile, plan_.fileTimes.rule != FileTimeRule::kOriginal,
                      &reason)) {
        error(fillTwo(texts_.unableToWrite, escapeForDisplay(job.outputFile), reason));
        return false;
      }
      applyFileTimePolicy(plan_.fileTimes, job.currentFile, job.outputFile);
    }
    keepOutput(job, {job.outputFile, facts.bytes, facts.sha256});
    return true;
  }

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
      error(fillTwo(texts_.alreadyWritten, escapeForDisplay(file.job.outputFile),
                    escapeForDisplay(*earlierInput)));
    }
    if (!saved) {
      if (plan_.debugLines) console_.printLine("[ERROR] Unable to convert the file!");
      return false;
    }
    if (!plan_.dryRun) applyFileTimePolicy(plan_.fileTimes, file.job.currentFile, file.job.outputFile);
    keepOutput(file.job, {file.job.outputFile, file.outputBytes, file.outputSha256});
    if (!file.alphaOutputFile.empty()) {
      FileJob alpha = file.job;
      alpha.outputFile = file.alphaOutputFile;
      keepOutput(alpha, {file.alphaOutputFile, file.alphaBytes, file.alphaSha256});
    }
    return true;
  }

  // Records an output put in place (or planned, in a dry run) for this run,
  // the outcome, the console and its sidecar.
  void keepOutput(const FileJob& job, const OutputFacts& facts) {
    written_.record(job.outputFile, committing_->path);
    outcome_.outputs.push_back(facts);
    announce(job.outputFile);
    if (plan_.sidecars) writeSidecar(job);
  }

  // The line of an output put in place, or of one a dry run would write.
  void announce(const std::string& output) {
    if (plan_.dryRun) console_.printLine("Would write: " + escapeForDisplay(output));
    if (plan_.debugLines && !plan_.dryRun) {
      console_.printLine("[OK] Saving As: " + escapeForDisplay(output));
    }
  }

  // "<output>.json" with the facts of the output's source and surface.
  void writeSidecar(const FileJob& job) {
    if (sidecarInput_ != job.currentFile) {
      sidecarInput_ = job.currentFile;
      sidecarInfo_ = inspectInput(job.currentFile);
    }
    const std::string path = job.outputFile + ".json";
    const std::string text = sidecarJson(sidecarInfo_, job.surface, plan_.outputOptions) + "\n";
    if (!plan_.dryRun) {
      std::string reason;
      if (!commitOutput(text, path, &reason)) {
        error(fillTwo(texts_.unableToWrite, escapeForDisplay(path), reason));
        return;
      }
    }
    outcome_.outputs.push_back({path, static_cast<int64_t>(text.size()),
                                plan_.hashOutputs ? bytesSha256(text) : std::string()});
    announce(path);
  }

  // The lines a failure prints in every mode: the library messages that
  // explain a refusal, or what ran out, or the reason the system gave.
  void reportFailure(const FileInWork& file) {
    if (file.failure.kind == FileFailure::Kind::OutOfMemory) {
      error(fillTwo(texts_.notEnoughMemory, escapeForDisplay(file.job.currentFile), ""));
      return;
    }
    // Library messages may quote a file name.
    for (const std::string& message : messagesToReport(file)) error(escapeForDisplay(message));
    if (file.failure.kind == FileFailure::Kind::WriteFailed) {
      error(fillTwo(texts_.unableToWrite, escapeForDisplay(file.job.outputFile),
                    file.failure.reason));
    }
    if (file.failure.kind == FileFailure::Kind::VerifyFailed) {
      console_.printLine("Error: " + fillTwo(texts_.verificationFailed,
                                             escapeForDisplay(file.job.outputFile),
                                             file.failure.reason));
    }
    // A refusal prints no line of its own (the console stays as it always
    // was), but the outcome still says why.
    if (file.failure.kind == FileFailure::Kind::NotConverted && outcome_.error.empty()) {
      outcome_.error = file.failure.reason;
    }
  }

  const BatchPlan& plan_;
  const PipelineResources& resources_;
  BatchProgress& progress_;
  Console& console_;
  const WorkerTexts& texts_;
  SkipRecords* records_;  // with --skip-unchanged only
  const InputOutcomeSink& sink_;
  WrittenOutputs written_;  // the run's outputs; the committer is the only writer
  int32_t counter_;                   // "%n%" of the next input that writes anything
  std::atomic<int32_t> failures_{0};  // inputs that wrote nothing
  int32_t visited_ = 0;
  int32_t converted_ = 0;
  int32_t unchanged_ = 0;
  int64_t duration_ = 0;
  const InputEntry* committing_ = nullptr;  // the input being committed
  InputOutcome outcome_;                    // of the input being committed
  std::map<int32_t, FirstOutputs> firsts_;  // by input index, with --dedupe
  std::string sidecarInput_;                // the input sidecarInfo_ describes
  InputInfo sidecarInfo_;
};

// With --skip-unchanged: marks in found every input whose record says its
// outputs are up to date, checking runs of inputs side by side on the
// workers; checked(end) is told on the calling thread, in order, once every
// input before end has been checked. With dedupe, an up-to-date input is
// still noted, as later inputs may repeat it. A record written by a run that
// hashed nothing gets the hashes of its outputs here when hashes are asked
// for: the files are the ones it describes.
void findUnchanged(const SkipRecords& records, bool hashOutputs,
                   const std::vector<const InputEntry*>& entries,
                   int32_t workers, EqualInputs* equal, std::vector<InputInWork>& found,
                   const std::function<void(int32_t end)>& checked,
                   const std::function<bool()>& stopped) {
  constexpr int32_t kRun = 64;
  const int32_t count = static_cast<int32_t>(entries.size());
  runOrdered<bool>(
      (count + kRun - 1) / kRun, workers,
      [&](int32_t, int32_t run) {
        for (int32_t index = run * kRun; index < std::min(count, (run + 1) * kRun); ++index) {
          InputInWork& input = found[static_cast<size_t>(index)];
          const InputEntry& entry = *entries[static_cast<size_t>(index)];
          input.unchanged = records.upToDate(index, entry.path, entry.stamped ? &entry.stamp : nullptr,
                                             &input.unchangedOutputs);
          if (!input.unchanged) continue;
          input.startTime = monotonicMillis();
          if (hashOutputs) {
            for (OutputFacts& output : input.unchangedOutputs) {
              if (output.sha256.empty()) output.sha256 = fileSha256(output.path);
            }
          }
          if (equal) equal->note(index);
        }
        return true;
      },
      [&](int32_t run, bool&) { checked(std::min(count, (run + 1) * kRun)); }, stopped);
}

}  // namespace

void conversionWorker(const BatchPlan& plan, const InputSet& inputs, SkipRecords* records,
                      const PipelineResources& resources, BatchProgress& progress,
                      Console& console, const WorkerTexts& texts, const InputOutcomeSink& sink) {
  const std::vector<const InputEntry*> entries = listedEntries(inputs);
  const int32_t count = static_cast<int32_t>(entries.size());
  std::vector<std::unique_ptr<WatermarkFontOnDemand>> fonts;
  const std::vector<PipelineResources> perWorker = workerResources(
      plan.watermarkFont, resources, workerCount(plan.threadCount, availableCores(), count), fonts);
  if (records) records->forInputs(count);
  std::unique_ptr<EqualInputs> equal;
  if (plan.dedupe) {
    std::vector<std::string> paths;
    std::vector<int64_t> sizes;
    for (const InputEntry* entry : entries) {
      paths.push_back(entry->path);
      sizes.push_back(entry->stamped ? entry->stamp.size : -1);
    }
    equal = std::make_unique<EqualInputs>(std::move(paths), std::move(sizes));
  }
  const auto stopped = [&] { return progress.running == 0; };
  const int32_t workers = static_cast<int32_t>(perWorker.size());
  // Up-to-date inputs are found first, on the workers, so a re-run of an
  // unchanged tree hands no input from thread to thread; the rest (todo) go
  // through the workers to be converted.
  Committer committer(plan, resources, progress, console, texts, records, sink, count);
  int32_t next = 0;  // the next input to commit
  std::vector<InputInWork> unchanged(records ? entries.size() : 0);
  // Commits the up-to-date inputs from next on, up to end or the first input
  // that is not up to date.
  const auto commitUnchangedBefore = [&](int32_t end) {
    for (; next < end && !stopped() && static_cast<size_t>(next) < unchanged.size() &&
           unchanged[static_cast<size_t>(next)].unchanged;
         ++next) {
      committer.commit(next, *entries[static_cast<size_t>(next)], unchanged[static_cast<size_t>(next)]);
    }
  };
  // Up-to-date inputs at the head of the list are committed while later ones
  // are still being checked.
  if (records) {
    findUnchanged(*records, plan.hashOutputs, entries, workers, equal.get(), unchanged,
                  commitUnchangedBefore, stopped);
  }
  std::vector<int32_t> todo;
  for (int32_t index = next; index < count; ++index) {
    if (unchanged.empty() || !unchanged[static_cast<size_t>(index)].unchanged) todo.push_back(index);
  }
  runOrdered<InputInWork>(
      static_cast<int32_t>(todo.size()), workers,
      [&](int32_t worker, int32_t task) {
        const int32_t index = todo[static_cast<size_t>(task)];
        const InputEntry& entry = *entries[static_cast<size_t>(index)];
        InputInWork input;
        // Asked for every input converted, so no later input waits for it.
        std::shared_ptr<const std::string> bytes;  // the input, when read whole to compare
        const int32_t first = equal ? equal->firstOf(index, &bytes) : index;
        if (first != index) {
          input.duplicateOf = first;
          input.startTime = monotonicMillis();
          return input;
        }
        // With workers of their own, outputs are written on them and only
        // named here in order.
        return convertEntry(plan, entry, committer.expectedCounter(index),
                            perWorker[static_cast<size_t>(worker)], workers > 1, std::move(bytes));
      },
      [&](int32_t task, InputInWork& input) {
        const int32_t index = todo[static_cast<size_t>(task)];
        commitUnchangedBefore(index);
        if (stopped()) return;
        committer.commit(index, *entries[static_cast<size_t>(index)], input);
        next = index + 1;
      },
      stopped,
      // A repeat, or an input whose outputs are written ahead, holds no image
      // or file's bytes: such results ahead of a slow input do not hold the
      // workers back.
      [](const InputInWork& input) {
        return input.duplicateOf >= 0 ||
               std::all_of(input.surfaces.begin(), input.surfaces.end(), [](const FileInWork& file) {
                 return !file.converted ||
                        (file.writtenAhead.made() && (!file.hasAlphaFile || file.alphaWrittenAhead.made()));
               });
      });
  commitUnchangedBefore(count);
  if (records && !plan.dryRun) records->writePack();
  std::lock_guard<std::mutex> hold(progress.progressLock);
  progress.count = committer.converted();
  progress.unchanged = committer.unchanged();
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
