#include "app/prepare_and_run.h"

#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "app/message_catalogue.h"
#include "app/output_options.h"
#include "batch/batch_progress.h"
#include "batch/conversion_worker.h"
#include "batch/input_enumeration.h"
#include "batch/input_info.h"
#include "batch/input_set.h"
#include "batch/path_rules.h"
#include "batch/progress_line.h"
#include "batch/report_file.h"
#include "batch/shard.h"
#include "batch/skip_records.h"
#include "batch/worker_count.h"
#include "formats/format_tables.h"
#include "pipeline/convert_file.h"
#include "pipeline/drawing/watermark_font.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text.h"
#include "settings/colour_report.h"
#include "settings/debug_report.h"
#include "settings/run_plan.h"
#include "settings/run_targets.h"
#include "settings/settings_report.h"

namespace {

// A typed relative folder is resolved against the working folder (the
// current directory), as typed files are.
bool checkFolder(std::string* folder, const std::string& workingFolder, DebugReport& report,
                 std::string_view incorrectLine, std::string_view invalidLine) {
  switch (normalizeFolder(folder, workingFolder)) {
    case FolderCheck::kIncorrect: return report.fail(incorrectLine);
    case FolderCheck::kMissing: return report.fail(invalidLine);
    case FolderCheck::kValid: return true;
  }
  return false;
}

bool checkInput(const ConversionJob& job, RunTargets& run, DebugReport& report) {
  report.text("Input: ", job.inputPath);
  if (namesFile(job.inputPath)) {
    run.input.file = job.inputPath;
    if (fileSize(run.input.file) <= 0) return report.fail("Error: Invalid input file");
    return true;
  }
  run.input.folder = job.inputPath;
  return checkFolder(&run.input.folder, job.workingFolder, report, "Error: Incorrect input folder",
                     "Error: Invalid input folder");
}

// Without -o the output goes beside the input: into the input folder, or into
// the folder of the input file (a bare "x.dds" writes into the working folder).
std::string defaultOutputFolder(const ConversionJob& job, const RunTargets& run) {
  if (!run.input.folder.empty()) return run.input.folder;
  std::string folder = folderPart(run.input.file);
  if (isAbsolutePath(folder)) return folder;
  return job.workingFolder + folder;
}

bool checkOutput(const ConversionJob& job, RunTargets& run, DebugReport& report) {
  run.outputFolder = job.outputFolder.empty() ? defaultOutputFolder(job, run) : job.outputFolder;
  report.text("Output: ", run.outputFolder);
  return checkFolder(&run.outputFolder, job.workingFolder, report,
                     "Error: Incorrect output folder", "Error: Invalid output folder");
}

bool checkConversion(const ConversionJob& job, RunTargets& run, DebugReport& report) {
  run.conversion = job.conversion.empty() ? formatTables().outputExtensions.front() : job.conversion;
  report.text("Conversion: ", run.conversion);
  if (!isOutputExtension(run.conversion)) return report.fail("Error: Invalid conversion type");
  return true;
}

// Reports the watermark and makes sure it can be drawn: a text watermark
// needs its font, a picture watermark a non-empty file. The run's font is
// made here, before the first file (the workers' own fonts only when they
// first draw text); the pipeline only borrows it.
bool prepareWatermark(const ConversionSettings& settings,
                      std::unique_ptr<WatermarkFontOnDemand>& font, PipelineResources& resources,
                      DebugReport& report) {
  reportWatermark(settings, report);
  if (settings.watermarkKind == kWatermarkText) {
    font = std::make_unique<WatermarkFontOnDemand>(planWatermarkFont(settings));
    if (!font->get()) return report.fail("Error: Invalid watermark font");
    resources.watermarkFont = font.get();
  }
  if (settings.watermarkKind == kWatermarkPicture && fileSize(settings.wmImage) <= 0) {
    return report.fail("Error: Invalid watermark image");
  }
  return true;
}

// How the run is split, over cores and over machines. Not echoed: the report
// of a run stays the same however it is spread.
bool checkRunSplit(const ConversionSettings& settings, RunTargets& run, DebugReport& report) {
  const std::optional<int32_t> threads = parseThreadCount(settings.threads);
  if (!threads) return report.fail("Error: Invalid threads value");
  const std::optional<Shard> shard = parseShard(settings.shard);
  if (!shard) return report.fail("Error: Invalid shard value");
  run.threadCount = *threads;
  run.shard = *shard;
  return true;
}

bool checkAndReportSettings(const ConversionSettings& settings, const ConversionJob& job,
                            RunTargets& run, std::unique_ptr<WatermarkFontOnDemand>& font,
                            PipelineResources& resources, DebugReport& report) {
  if (!checkInput(job, run, report) || !checkOutput(job, run, report) ||
      !checkConversion(job, run, report)) {
    return false;
  }
  if (!reportSaveOptions(settings, run.conversion, report)) return false;
  if (!reportOperations(settings, report) || !reportColourOptions(settings, report)) return false;
  if (!prepareWatermark(settings, font, resources, report)) return false;
  reportOutputNaming(settings, report);
  run.debugLines = job.consoleMode != 0 && job.debugMode == "DEBUG";
  run.outputOptions = outputShapingOptions(settings, run.conversion);
  run.recordKey = recordKeyOf(run.outputOptions, settings.sidecar != 0);
  return checkRunSplit(settings, run, report);
}

// Imports the inputs, converts them and prints the summary.
RunOutcome runBatch(const ConversionSettings& settings, const RunTargets& run,
                    const PipelineResources& resources, ReportFile& report,
                    const InputOutcomeSink& sink, bool quiet, Console& console) {
  auto phaseLine = [&](std::string_view group, std::string_view key) {
    if (!quiet) console.printLine(LookupMessage(group, key));
  };
  InputSet inputs;
  BatchProgress progress;
  // Records are read while the inputs are listed: for a large tree, loading
  // its records' pack and the digest library takes about as long as the
  // listing.
  std::optional<SkipRecords> records;
  std::jthread readingRecords;
  if (settings.skipUnchanged != 0) {
    readingRecords = std::jthread([&] {
      try {
        records.emplace(run.outputFolder, run.recordKey,
                        run.input.folder + '\n' + run.input.file + '\n' +
                            std::to_string(run.shard.index) + '/' + std::to_string(run.shard.count));
      } catch (...) {
        records.reset();  // out of memory: every input is converted, and none recorded
      }
    });
  }
  phaseLine("General", "Importing");
  int32_t added = importInputs(run.input, inputs, progress);
  if (run.shard.count > 1) added = keepShard(inputs, run.shard);
  if (readingRecords.joinable()) readingRecords.join();
  const std::string addedText = std::to_string(added);
  if (!quiet) console.printLine(ExpandPlaceholders(LookupMessage("Msg", "Import complete"), addedText));
  if (added == 0) {
    console.printLine(LookupMessage("Msg", "Conversion is not complete"));
    console.printLine(LookupMessage("Msg", "Empty input files"));
    return RunOutcome::kNotStarted;
  }
  phaseLine("General", "Converting");
  const bool display = !quiet && settings.showProgress != 0 && console.statusColumns() > 0;
  const int64_t start = monotonicMillis();
  auto redraw = [&] {
    ProgressSnapshot snapshot;
    {
      std::lock_guard<std::mutex> hold(progress.progressLock);
      snapshot.done = progress.index > 0 ? progress.index - 1 : 0;
      snapshot.currentName = lastPathComponent(progress.currentName);
    }
    snapshot.total = added;
    snapshot.elapsedMillis = monotonicMillis() - start;
    console.showStatus(progressLine(snapshot, console.statusColumns()));
  };
  BatchPlan plan = planRun(settings, run);
  plan.hashOutputs = plan.hashOutputs || sink != nullptr;
  runPhaseThread(
      progress,
      [&] {
        conversionWorker(plan, inputs, records ? &*records : nullptr, resources, progress, console,
                         WorkerTexts{LookupMessage("Msg", "Already written"),
                                     LookupMessage("Msg", "Unable to write"),
                                     LookupMessage("Msg", "Not enough memory to convert"),
                                     LookupMessage("Msg", "Too many surfaces"),
                                     LookupMessage("Msg", "Verification failed")},
                         report.isOpen() || sink ? InputOutcomeSink([&](const InputOutcome& outcome) {
                           if (report.isOpen()) report.write(outcome);
                           if (sink) sink(outcome);
                         })
                                                 : InputOutcomeSink());
      },
      display ? std::function<void()>(redraw) : std::function<void()>());
  console.clearStatus();
  const int32_t converted = progress.count;
  if (converted == 0) {
    console.printLine(LookupMessage("Msg", "Conversion is not complete"));
    return RunOutcome::kSomeFailed;
  }
  phaseLine("Msg", "Conversion complete");
  if (!quiet) {
    console.printLine(ExpandPlaceholders(LookupMessage("Msg", "Files converted"),
                                         std::to_string(converted), addedText));
    if (settings.skipUnchanged != 0) {
      console.printLine(ExpandPlaceholders(LookupMessage("Msg", "Files unchanged"),
                                           std::to_string(progress.unchanged)));
    }
  }
  return converted < added ? RunOutcome::kSomeFailed : RunOutcome::kAllConverted;
}

// --info: the inputs' facts as JSON Lines and nothing else on standard
// output; no phase lines, no summary, nothing written.
RunOutcome printInfo(const RunTargets& run, Console& console) {
  InputSet inputs;
  BatchProgress progress;
  int32_t added = importInputs(run.input, inputs, progress);
  if (run.shard.count > 1) added = keepShard(inputs, run.shard);
  const int32_t decodable = printInputInfo(inputs, console, run.threadCount);
  if (added == 0) return RunOutcome::kNotStarted;
  return decodable < added ? RunOutcome::kSomeFailed : RunOutcome::kAllConverted;
}

}  // namespace

RunOutcome prepareAndRun(const ConversionSettings& settings, const ConversionJob& job, bool quiet,
                         Console& console, const InputOutcomeSink& sink) {
  const bool info = settings.info != 0;
  if (!quiet && !info) console.printLine(LookupMessage("General", "Preparing"));
  DebugReport report(console, job.debugMode == "DEBUG" && !info);
  // The pipeline's state for the whole run lives here, next to the settings;
  // the font lives until the batch has ended.
  std::unique_ptr<WatermarkFontOnDemand> font;
  PipelineResources resources;
  RunTargets run;
  if (!checkAndReportSettings(settings, job, run, font, resources, report)) {
    return RunOutcome::kNotStarted;
  }
  if (info) return printInfo(run, console);
  ReportFile reportFile;
  std::string reason;
  if (!settings.reportFile.empty() && !reportFile.open(settings.reportFile, &reason)) {
    console.printLine("Error: " + ExpandPlaceholders(LookupMessage("Msg", "Unable to write report"),
                                                     escapeForDisplay(settings.reportFile),
                                                     escapeForDisplay(reason)));
    return RunOutcome::kNotStarted;
  }
  return runBatch(settings, run, resources, reportFile, sink, quiet, console);
}
