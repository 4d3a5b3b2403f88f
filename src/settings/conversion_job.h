#pragma once

#include <cstdint>
#include <string>

// What the command line named about the run itself, as typed. Nothing is
// derived into it: the preparation pass resolves it into RunTargets and the
// run plan, and the batch keeps each file's values in a record of its own.
struct ConversionJob {
  std::string workingFolder;  // current directory at reset, ending in "/": relative paths start here
  std::string inputPath;      // file, list file or folder as typed
  std::string outputFolder;   // as typed; empty: beside the input
  std::string conversion;     // output extension as typed; empty: the first output format
  uint8_t consoleMode = 0;    // 1 once -i/--input has been given
  std::string debugMode;      // "DEBUG" turns on the report and per-file lines
};

// Restores the initial values: workingFolder from the platform, everything
// else empty or zero.
void resetJob(ConversionJob& job);
