#include "platform/interrupt.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

#include "platform/terminal_modes_posix.h"

namespace {

// The handler may only read plain memory, so the path is copied into a fixed
// buffer; the flag says whether the buffer holds a complete path.
char pendingPath[4096];
std::atomic<bool> pendingValid{false};

// Terminal modes to put back when a signal ends the process while the
// terminal is in raw mode (tcsetattr is async-signal-safe).
struct termios pendingModes {};
std::atomic<bool> pendingModesValid{false};

// Negative: the signal ends the process itself.
std::atomic<int> exitStatusOnSignal{-1};

void onTerminatingSignal(int signalNumber) {
  if (pendingValid.load()) unlink(pendingPath);
  if (pendingModesValid.load()) tcsetattr(STDIN_FILENO, TCSANOW, &pendingModes);
  const int status = exitStatusOnSignal.load();
  if (status >= 0) _exit(status);
  signal(signalNumber, SIG_DFL);
  raise(signalNumber);
}

}  // namespace

void installInterruptCleanup() {
  struct sigaction action {};
  action.sa_handler = onTerminatingSignal;
  sigemptyset(&action.sa_mask);
  for (int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaction(s, &action, nullptr);
  // Past the file-size limit a write fails with EFBIG, and the writer fails
  // that one file, instead of the signal ending the whole batch.
  signal(SIGXFSZ, SIG_IGN);
}

void setPendingTemporaryFile(const std::string& path) {
  pendingValid.store(false);
  if (path.empty() || path.size() >= sizeof(pendingPath)) return;
  std::memcpy(pendingPath, path.c_str(), path.size() + 1);
  pendingValid.store(true);
}

void setPendingTerminalModes(const struct termios* modes) {
  pendingModesValid.store(false);
  if (!modes) return;
  pendingModes = *modes;
  pendingModesValid.store(true);
}

void setInterruptExitStatus(int status) { exitStatusOnSignal.store(status); }
