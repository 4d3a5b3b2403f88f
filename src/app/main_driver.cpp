#include "app/main_driver.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "app/help_text.h"
#include "app/message_catalogue.h"
#include "app/option_loop.h"
#include "app/option_table.h"
#include "app/parameters.h"
#include "app/prepare_and_run.h"
#include "app/program_identity.h"
#include "batch/path_rules.h"
#include "batch/shard.h"
#include "platform/console.h"
#include "platform/interrupt.h"
#include "platform/lock.h"
#include "platform/memory.h"
#include "platform/process.h"
#include "platform/text.h"
#include "settings/conversion_job.h"
#include "settings/conversion_settings.h"

namespace {

constexpr char kNoticeLine[] = "Copyright © 2026 The Quillon Imaging Guild";
constexpr char kWebAddress[] = "https://quillon.example.org";
constexpr char kPausePrompt[] = "Press any key to exit.";

void printHelp(Console& console) {
  for (const std::string& line : helpLines(programBaseName())) console.printLine(line);
}

void printBanner(Console& console, const std::string& title) {
  console.printLine(title);
  console.printLine(replaceAllIgnoringCase(kNoticeLine, "©", "(c)"));
  console.printLine(kWebAddress);
  console.printLine(" ");
}

// True when a parameter asks for --exit-code, read before the option loop so
// that a command line the loop stops on still gets its status.
bool asksForExitCode(const std::vector<std::string>& parameters) {
  for (int index = 0; index < static_cast<int>(parameters.size()); ++index) {
    const OptionRow* row = findOption(ParameterName(parameters, index));
    if (row != nullptr && row->kind == OptionKind::kFlag &&
        std::get<SettingsByte>(row->field) == &ConversionSettings::exitCode) {
      return true;
    }
  }
  return false;
}

// The locks a conversion run holds, released when it ends.
using RunLocks = std::vector<std::unique_ptr<InstanceLock>>;

// The lock of one part of a split input (--shard=K/N) and its output folder
// (the input, without -o), resolved as the run will resolve it; empty for an
// unsplit run and for a shard value the run will refuse.
std::string partLockName(const std::string& title, const ConversionSettings& settings,
                         const ConversionJob& job) {
  const std::optional<Shard> shard = parseShard(settings.shard);
  if (!shard || shard->count <= 1) return std::string();
  std::string folder = job.outputFolder.empty() ? job.inputPath : job.outputFolder;
  normalizeFolder(&folder, job.workingFolder);
  return title + shardLockTag(*shard, folder);
}

// Waits while another copy converts: two runs on one output folder would
// overwrite each other's files half-way. An unsplit run holds the title lock
// alone. A run of one part holds the title lock shared, so parts run side by
// side and an unsplit run waits for all of them, and its part lock alone, so
// one part started twice waits for itself. Empty after an Error line when a
// lock cannot be taken.
RunLocks takeRunLocks(const std::string& title, const ConversionSettings& settings,
                      const ConversionJob& job, Console& console) {
  const std::string partName = partLockName(title, settings, job);
  bool waited = false;
  auto onWait = [&console, &waited] {
    if (waited) return;
    waited = true;
    console.printNotice(
        ExpandPlaceholders(LookupMessage("Msg", "Waiting for another copy"), programBaseName()));
  };
  RunLocks locks;
  std::string error;
  const LockMode titleMode = partName.empty() ? LockMode::kExclusive : LockMode::kShared;
  std::unique_ptr<InstanceLock> lock = acquireInstanceLock(title, onWait, &error, titleMode);
  if (lock && !partName.empty()) {
    locks.push_back(std::move(lock));
    lock = acquireInstanceLock(partName, onWait, &error);
  }
  if (!lock) {
    console.printLine("Error: " + ExpandPlaceholders(LookupMessage("Msg", "Unable to lock"),
                                                         escapeForDisplay(error)));
    return RunLocks();
  }
  locks.push_back(std::move(lock));
  return locks;
}

int exitStatusOf(RunOutcome outcome) {
  switch (outcome) {
    case RunOutcome::kAllConverted: return 0;
    case RunOutcome::kSomeFailed: return 1;
    case RunOutcome::kNotStarted: return 2;
  }
  return 2;
}

// Reads the command line and ends in one of its outcomes: help, version, one
// error line, or a conversion run. A command line that names no input shows
// the help text, as there is no other edition to hand over to. Returns the
// exit status: 0 unless --exit-code asks for one that tells how the run went.
int runMainDriver(const std::vector<std::string>& parameters) {
  const std::string title = TitleText(kProductName, kProgramVersion);
  std::unique_ptr<Console> console = openStandardConsole();
  if (parameters.empty()) {
    console->setTitle(title);
    printHelp(*console);
    return 0;
  }

  ConversionJob job;
  ConversionSettings settings;
  startRunRecords(settings, job);

  const std::string first = ParameterName(parameters, 0);
  const OptionRow* firstRow = findOption(first);
  const OptionKind firstKind = firstRow != nullptr ? firstRow->kind : OptionKind::kFlag;
  if (first == "-U" || first == "-T") return 0;  // windowed-edition modes: nothing to do here
  if (firstKind == OptionKind::kVersion) {
    console->setTitle(title);
    console->printLine(VersionText(kProgramVersion));
    return 0;
  }
  if (firstKind == OptionKind::kHelp) {
    console->setTitle(title);
    printHelp(*console);
    return 0;
  }

  RunFlags flags;
  const bool exitCodeAsked = asksForExitCode(parameters);
  std::string error = runOptionLoop(parameters, settings, job, flags);
  const bool exitCode = exitCodeAsked || settings.exitCode != 0;
  if (!error.empty()) {
    console->setTitle(title);
    console->printLine("Error: " + error);
    if (flags.pause) console->waitForKey();
    return exitCode ? 2 : 0;
  }
  if (job.consoleMode != 1) {
    console->setTitle(title);
    printHelp(*console);
    return 0;
  }
  console->setTitle(title);
  // Only a conversion takes the lock: help, version and --info never wait.
  const bool info = settings.info != 0;
  const RunLocks locks = info ? RunLocks() : takeRunLocks(title, settings, job, *console);
  if (locks.empty() && !info) {
    if (flags.pause) console->waitForKey();
    return exitCode ? 2 : 0;
  }
  if (!flags.quiet && !info) printBanner(*console, title);
  if (exitCode) setInterruptExitStatus(1);  // a stopped run did not convert every file
  const RunOutcome outcome = prepareAndRun(settings, job, flags.quiet, *console);
  if (exitCode) setInterruptExitStatus(exitStatusOf(outcome));
  if (flags.pause) {
    console->printLine(kPausePrompt);
    console->waitForKey();
  }
  return exitCode ? exitStatusOf(outcome) : 0;
}

}  // namespace

int runProgram(int argc, char** argv) {
  reuseLargeAllocations();
  installInterruptCleanup();
  return runMainDriver(commandLineParameters(argc, argv));
}
