#include "platform/interrupt.h"

#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <new>

#include "platform/terminal_modes_posix.h"

namespace {

// The handler may only read plain memory, so a path is copied into a fixed
// buffer; the flag says whether the buffer holds a complete path. Every
// thread that writes outputs has its own slot (workers write at the same
// time), linked into a list the handler walks; slots are never freed, so the
// handler can never meet one that is going away.
//
// A slot is busy from the moment its thread names a temporary file until it
// clears the name (the file renamed or removed). The handler first sets
// stopping, then waits for the other threads' busy slots, so a file whose
// creation had already begun is created before the handler removes it, and
// a thread that names a file only after stopping was set never creates it.
struct PendingSlot {
  char path[4096];
  std::atomic<bool> valid{false};
  std::atomic<bool> busy{false};
  PendingSlot* next = nullptr;
};
std::atomic<PendingSlot*> pendingSlots{nullptr};
std::atomic<bool> stopping{false};

// Used by a thread whose own slot could not be allocated.
PendingSlot sharedSlot;

thread_local PendingSlot* threadSlot = nullptr;

PendingSlot* ownSlot() {
  if (threadSlot) return threadSlot;
  PendingSlot* fresh = new (std::nothrow) PendingSlot;
  if (!fresh) return &sharedSlot;
  fresh->next = pendingSlots.load();
  while (!pendingSlots.compare_exchange_weak(fresh->next, fresh)) {
  }
  threadSlot = fresh;
  return fresh;
}

// Waits (at most about two seconds in all) for the other threads' busy slots.
void waitForOtherWriters() {
  const timespec step{0, 1000000};  // 1 ms
  int steps = 2000;
  for (PendingSlot* slot = pendingSlots.load(); slot; slot = slot->next) {
    if (slot == threadSlot) continue;
    while (slot->busy.load() && steps-- > 0) nanosleep(&step, nullptr);
  }
}

void removePendingFiles() {
  if (sharedSlot.valid.load()) unlink(sharedSlot.path);
  for (PendingSlot* slot = pendingSlots.load(); slot; slot = slot->next) {
    if (slot->valid.load()) unlink(slot->path);
  }
}

// Terminal modes to put back when a signal ends the process while the
// terminal is in raw mode (tcsetattr is async-signal-safe).
struct termios pendingModes {};
std::atomic<bool> pendingModesValid{false};

// Negative: the signal ends the process itself.
std::atomic<int> exitStatusOnSignal{-1};

void cleanUpForEnd() {
  stopping.store(true);
  waitForOtherWriters();
  removePendingFiles();
  if (pendingModesValid.load()) tcsetattr(STDIN_FILENO, TCSANOW, &pendingModes);
}

void onTerminatingSignal(int signalNumber) {
  cleanUpForEnd();
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
  PendingSlot* slot = ownSlot();
  slot->valid.store(false);
  if (path.empty()) {
    slot->busy.store(false);
    return;
  }
  slot->busy.store(true);
  if (stopping.load()) {
    // A signal is ending the process: create nothing more, wait for the end.
    slot->busy.store(false);
    for (;;) pause();
  }
  if (path.size() >= sizeof(slot->path)) return;
  std::memcpy(slot->path, path.c_str(), path.size() + 1);
  slot->valid.store(true);
}

void setPendingTerminalModes(const struct termios* modes) {
  pendingModesValid.store(false);
  if (!modes) return;
  pendingModes = *modes;
  pendingModesValid.store(true);
}

void setInterruptExitStatus(int status) { exitStatusOnSignal.store(status); }

void endProcessAfterCleanup(int status) {
  cleanUpForEnd();
  _exit(status);
}
