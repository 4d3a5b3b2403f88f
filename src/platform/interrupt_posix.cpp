#include "platform/interrupt.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace {

// The handler may only read plain memory, so the path is copied into a fixed
// buffer; the flag says whether the buffer holds a complete path.
char pendingPath[4096];
std::atomic<bool> pendingValid{false};

void onTerminatingSignal(int signalNumber) {
  if (pendingValid.load()) unlink(pendingPath);
  signal(signalNumber, SIG_DFL);
  raise(signalNumber);
}

}  // namespace

void installInterruptCleanup() {
  struct sigaction action {};
  action.sa_handler = onTerminatingSignal;
  sigemptyset(&action.sa_mask);
  for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaction(s, &action, nullptr);
}

void setPendingTemporaryFile(const std::string& path) {
  pendingValid.store(false);
  if (path.empty() || path.size() >= sizeof(pendingPath)) return;
  std::memcpy(pendingPath, path.c_str(), path.size() + 1);
  pendingValid.store(true);
}
