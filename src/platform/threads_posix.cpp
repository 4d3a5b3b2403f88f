#include "platform/threads.h"

#include <sched.h>

#include <thread>

int32_t availableCores() {
  cpu_set_t mask;
  CPU_ZERO(&mask);
  if (sched_getaffinity(0, sizeof(mask), &mask) == 0) {
    const int count = CPU_COUNT(&mask);
    if (count > 0) return count;
  }
  const unsigned machine = std::thread::hardware_concurrency();
  return machine > 0 ? static_cast<int32_t>(machine) : 1;
}
