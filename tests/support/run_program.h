#pragma once

#include <string>
#include <vector>

// Runs the built pellucidcmd with the given arguments and captures standard
// output and standard error separately. stdinText is fed to standard input
// (closed afterwards); timeoutSeconds kills a hung run.
struct ProgramResult {
  int exitCode = -1;
  bool timedOut = false;
  std::string out;
  std::string err;
};

ProgramResult runProgramWith(const std::vector<std::string>& arguments,
                             const std::string& stdinText = "",
                             const std::string& workingFolder = "", int timeoutSeconds = 120);

// The program's output split at CR LF; fails the test when a line ends in a bare LF.
std::vector<std::string> outputLines(const std::string& out);

// Path of the built executable.
std::string programPath();
