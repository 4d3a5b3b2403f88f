#pragma once

#include <sys/types.h>

#include <cstdint>

#include <string>
#include <vector>

// Runs the built pellucidcmd with the given arguments and captures standard
// output and standard error separately. stdinText is fed to standard input
// (closed afterwards); timeoutSeconds kills a hung run.
//
// The program lets only one copy run at a time (per lock folder). Each run
// gets a lock folder of its own unless lockFolder names one, so tests running
// side by side never refuse each other; pass the same folder to two runs to
// test the refusal.
struct ProgramResult {
  int exitCode = -1;
  int signal = 0;  // the signal that ended the program, 0 when it exited
  long peakMemoryKb = 0;  // largest resident set size (runProgramWith only)
  bool timedOut = false;
  std::string out;
  std::string err;
};

// addressSpaceLimit (bytes, 0 = none) caps the program's address space, so
// that it runs out of memory where the test wants it to.
ProgramResult runProgramWith(const std::vector<std::string>& arguments,
                             const std::string& stdinText = "",
                             const std::string& workingFolder = "", int timeoutSeconds = 120,
                             const std::string& lockFolder = "", uint64_t addressSpaceLimit = 0);

// A copy of the program started in the background with its standard input
// kept open, e.g. waiting at the -p prompt while a second copy is started.
class BackgroundProgram {
 public:
  BackgroundProgram(const std::vector<std::string>& arguments, const std::string& lockFolder,
                    const std::string& workingFolder = "");
  ~BackgroundProgram();  // kills the program if it still runs
  BackgroundProgram(const BackgroundProgram&) = delete;
  BackgroundProgram& operator=(const BackgroundProgram&) = delete;

  // Reads standard output (or standard error) until it contains text; false
  // after timeoutSeconds or when the program closed that output first.
  bool waitForOutput(const std::string& text, int timeoutSeconds, bool standardError = false);

  // True while the process has not ended.
  bool running();

  // Sends signalNumber to the program.
  void sendSignal(int signalNumber);

  // Writes input (may be empty), closes standard input, collects the rest of
  // the output and waits for the end.
  ProgramResult finish(const std::string& input, int timeoutSeconds);

 private:
  pid_t pid_ = -1;
  bool reaped_ = false;  // running() already collected the exit status
  int status_ = 0;
  int stdin_ = -1;
  int stdout_ = -1;
  int stderr_ = -1;
  ProgramResult result_;
};

// The program's output split at CR LF; fails the test when a line ends in a bare LF.
std::vector<std::string> outputLines(const std::string& out);

// Path of the built executable.
std::string programPath();
