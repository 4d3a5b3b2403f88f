#include "batch/batch_progress.h"

#include <chrono>
#include <condition_variable>
#include <thread>

void runPhaseThread(BatchProgress& progress, const std::function<void()>& body,
                    const std::function<void()>& tick) {
  {
    std::lock_guard<std::mutex> hold(progress.progressLock);
    progress.index = 0;
    progress.currentName.clear();
    progress.count = 0;
  }
  progress.running = 1;
  std::mutex endLock;
  std::condition_variable endSignal;
  bool ended = false;
  std::thread phase([&] {
    body();
    std::lock_guard<std::mutex> hold(endLock);
    ended = true;
    endSignal.notify_all();
  });
  if (tick) {
    std::unique_lock<std::mutex> hold(endLock);
    while (!endSignal.wait_for(hold, std::chrono::milliseconds(kTickMillis), [&] { return ended; })) {
      hold.unlock();
      tick();
      hold.lock();
    }
  }
  phase.join();
}

void publishVisit(BatchProgress& progress, int32_t visited) {
  std::lock_guard<std::mutex> hold(progress.progressLock);
  progress.index = visited;
}

void addToCount(BatchProgress& progress, int32_t amount) {
  std::lock_guard<std::mutex> hold(progress.progressLock);
  progress.count += amount;
}
