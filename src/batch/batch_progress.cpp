#include "batch/batch_progress.h"

#include <thread>

void runPhaseThread(BatchProgress& progress, const std::function<void()>& body) {
  {
    std::lock_guard<std::mutex> hold(progress.progressLock);
    progress.index = 0;
    progress.currentName.clear();
    progress.count = 0;
  }
  progress.running = 1;
  std::thread phase(body);
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
