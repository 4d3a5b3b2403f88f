#include "app/main_driver.h"

#include <IL/il.h>
#include <IL/ilu.h>

#include <string>
#include <vector>

#include "app/help_text.h"
#include "app/message_catalogue.h"
#include "app/option_loop.h"
#include "app/option_table.h"
#include "app/parameters.h"
#include "app/program_identity.h"
#include "formats/format_tables.h"
#include "platform/console.h"
#include "platform/interrupt.h"
#include "platform/lock.h"
#include "platform/process.h"
#include "platform/text.h"
#include "settings/conversion_job.h"
#include "settings/conversion_settings.h"
#include "settings/prepare_and_run.h"

namespace {

constexpr char kNoticeLine[] = "Copyright © 2026 The Quillon Imaging Guild";
constexpr char kWebAddress[] = "https://quillon.example.org";
constexpr char kPausePrompt[] = "Press any key to exit.";
// Not in the help text: prints the option table for the README's reference.
constexpr char kListOptionsName[] = "--LIST-OPTIONS";

void printHelp(Console& console) {
  for (const std::string& line : helpLines(programBaseName())) console.printLine(line);
}

void printBanner(Console& console, const std::string& title) {
  console.printLine(title);
  console.printLine(replaceAllIgnoringCase(kNoticeLine, "©", "(c)"));
  console.printLine(kWebAddress);
  console.printLine(" ");
}

void printOptionTable(Console& console) {
  for (const OptionRow& row : optionTable()) {
    std::string line = describeOption(row);
    if (!row.inProfile) line += "  (command line only)";
    console.printLine(line);
  }
}

// Reads the command line and ends in one of its outcomes: help, version, one
// error line, or a conversion run. A command line that names no input shows
// the help text, as there is no other edition to hand over to.
void runMainDriver(const std::vector<std::string>& parameters) {
  const std::string title = TitleText(kProductName, kProgramVersion);
  std::unique_ptr<Console> console = openStandardConsole();
  if (parameters.empty()) {
    console->setTitle(title);
    printHelp(*console);
    return;
  }

  formatTables();
  ConversionJob job;
  resetJob(job);
  ConversionSettings settings;
  resetSettings(settings, true);
  LoadMessageCatalogue("");

  const std::string first = ParameterName(parameters, 0);
  if (first == "-U" || first == "-T") return;  // windowed-edition modes: nothing to do here
  if (first == "-V" || first == "--VERSION") {
    console->setTitle(title);
    console->printLine(VersionText(kProgramVersion));
    return;
  }
  if (first == "-H" || first == "-?" || first == "--HELP") {
    console->setTitle(title);
    printHelp(*console);
    return;
  }
  if (first == kListOptionsName) {
    printOptionTable(*console);
    return;
  }

  RunFlags flags;
  std::string error = runOptionLoop(parameters, settings, job, flags);
  if (!error.empty()) {
    console->setTitle(title);
    console->printLine("Error: " + error);
    if (flags.pause) console->waitForKey();
    return;
  }
  if (job.consoleMode != 1) {
    console->setTitle(title);
    printHelp(*console);
    return;
  }
  console->setTitle(title);
  if (!flags.quiet) printBanner(*console, title);
  prepareAndRun(settings, job, flags.quiet, *console);
  if (flags.pause) {
    console->printLine(kPausePrompt);
    console->waitForKey();
  }
}

}  // namespace

int runProgram(int argc, char** argv) {
  installInterruptCleanup();
  ilInit();
  iluInit();
  // A second copy ends at once and silently while the first one runs.
  std::unique_ptr<InstanceLock> lock =
      acquireInstanceLock(TitleText(kProductName, kProgramVersion));
  if (!lock) return 0;
  runMainDriver(commandLineParameters(argc, argv));
  return 0;
}
