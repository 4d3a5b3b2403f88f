#pragma once

#include <string>

#include "batch/batch_plan.h"
#include "batch/batch_progress.h"
#include "batch/input_outcome.h"
#include "batch/input_set.h"
#include "batch/skip_records.h"
#include "batch/written_outputs.h"
#include "pipeline/convert_file.h"
#include "platform/console.h"

// Report texts of the worker, taken from the message catalogue by the caller.
struct WorkerTexts {
  // An input whose output this run has already written: "%s1%" is the output,
  // "%s2%" the input that wrote it.
  std::string alreadyWritten = "%s1% was already written from %s2%";
  // An output that could not be written: "%s1%" is the output, "%s2%" the
  // system's reason ("No space left on device").
  std::string unableToWrite = "Unable to write %s1%: %s2%";
  // A file that ran out of memory: "%s1%" is the input.
  std::string notEnoughMemory = "Not enough memory to convert %s1%";
  // An input claiming more array elements or depth slices than may be
  // exported: "%s1%" is the input, "%s2%" the limit.
  std::string tooManySurfaces = "Too many surfaces in %s1%: more than %s2% array elements or depth slices";
  // An output that did not read back as the image it was encoded from
  // (--verify): "%s1%" is the output, "%s2%" what differs.
  std::string verificationFailed = "Verification failed for %s1%: %s2%";
};

// Phase body of the conversion: converts every file of inputs and leaves the
// number converted in progress.count. plan.threadCount workers (0: one per
// available core) load and convert files side by side in input order; one
// committer then names, saves and reports each file strictly in input order
// and keeps the counters, so names, bytes, file times and printed lines are
// the same for any number of workers; %n% starts at plan.firstCounter.
// resources is the pipeline state prepared once for the run.
// Image-library messages are printed as "Error: " lines whatever the mode; in
// debug mode each file also gets its "Processing: ", "File Format: " and
// result lines. An input whose output path an earlier input of the run has
// written is not converted: it gets one error line naming both. With
// --mipmaps, --faces or --layers each chosen surface of an input is saved
// as a file of its own ("[OK] Saving As: " each); the input counts as
// converted when all were written.
//
// The pipeline options: with records (--skip-unchanged) an input whose record
// is up to date is not converted (it counts as converted, and in
// progress.unchanged); with dedupe an input of the same bytes as an earlier
// converted one gets hard links (or copies) of that one's outputs; a dry run
// prints "Would write: " for each output instead of writing it; sidecars
// writes "<output>.json" beside each output. sink (when set) receives each
// input's outcome in input order once its outputs are in place.
void conversionWorker(const BatchPlan& plan, const InputSet& inputs, SkipRecords* records,
                      const PipelineResources& resources, BatchProgress& progress,
                      Console& console, const WorkerTexts& texts = WorkerTexts{},
                      const InputOutcomeSink& sink = nullptr);

// Creates outputFolder + subfolder one component at a time where missing.
// Failures are silent: the save then fails and the file is not converted.
void ensureOutputSubfolder(const std::string& outputFolder, const std::string& subfolder);
