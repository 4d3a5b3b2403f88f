// pellucid::runBatch: the program's run, from the option table to the
// summary, with the options given as pairs and the lines kept, not printed.

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "app/option_loop.h"
#include "app/option_table.h"
#include "app/parameters.h"
#include "app/prepare_and_run.h"
#include "batch/input_outcome.h"
#include "pellucid/pellucid.h"
#include "platform/console.h"
#include "settings/conversion_job.h"
#include "settings/conversion_settings.h"

namespace pellucid {

namespace {

constexpr std::string_view kErrorPrefix = "Error: ";

// Keeps the lines a run prints; shows no progress.
class KeptLines : public Console {
 public:
  void printLine(std::string_view text) override { lines.emplace_back(text); }
  void setTitle(std::string_view) override {}
  void waitForKey() override {}

  std::vector<std::string> lines;
};

// "--name=value" for the option loop, or "" when no option has that name.
std::string parameterOf(const Option& option) {
  std::string parameter = "--" + option.first;
  const OptionRow* row = findOption(ParameterName({parameter}, 0));
  if (row == nullptr) return std::string();
  if (row->kind != OptionKind::kFlag) parameter += "=" + option.second;
  return parameter;
}

std::string firstErrorLine(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    if (line.starts_with(kErrorPrefix)) return line.substr(kErrorPrefix.size());
  }
  return std::string();
}

std::optional<std::string> textOrNothing(const std::string& text) {
  if (text.empty()) return std::nullopt;
  return text;
}

InputRecord publicRecord(const InputOutcome& outcome) {
  InputRecord record;
  record.input = outcome.input;
  record.status = inputStatusText(outcome.status);
  for (const OutputFacts& output : outcome.outputs) {
    record.outputs.push_back(
        OutputRecord{output.path, static_cast<uint64_t>(output.bytes), output.sha256});
  }
  record.error = textOrNothing(outcome.error);
  record.of = textOrNothing(outcome.of);
  return record;
}

}  // namespace

BatchResult runBatch(const std::vector<Option>& options) {
  // The message catalogue and the image libraries' message handlers serve
  // the whole process: one batch at a time.
  static std::mutex oneBatchAtATime;
  std::lock_guard<std::mutex> hold(oneBatchAtATime);

  BatchResult result;
  std::vector<std::string> parameters;
  for (const Option& option : options) {
    parameters.push_back(parameterOf(option));
    if (parameters.back().empty()) {
      result.error = "Unknown option --" + option.first;
      return result;
    }
  }
  ConversionJob job;
  ConversionSettings settings;
  startRunRecords(settings, job);
  RunFlags flags;
  result.error = runOptionLoop(parameters, settings, job, flags);
  if (!result.error.empty()) return result;
  if (job.consoleMode != 1) {
    result.error = "No input given";
    return result;
  }
  KeptLines console;
  // The committer hands over each input's outcome in input order.
  const RunOutcome outcome =
      prepareAndRun(settings, job, true, console, [&result](const InputOutcome& outcome) {
        result.inputs.push_back(publicRecord(outcome));
      });
  result.error = firstErrorLine(console.lines);
  // A run that found no input file converted nothing, which is no error.
  result.started = outcome != RunOutcome::kNotStarted || result.error.empty();
  if (result.started) result.error.clear();
  return result;
}

}  // namespace pellucid
