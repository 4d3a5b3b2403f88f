#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

// What a phase thread (import or conversion) reports while it runs. The
// fields are written under progressLock so a progress display could read them
// from another thread; count carries the phase result back to the caller.
struct BatchProgress {
  std::mutex progressLock;
  int32_t index = 0;          // entries visited so far in this phase
  std::string currentName;    // file being converted (conversion phase)
  int64_t lastDuration = 0;   // milliseconds spent on the previous file
  int32_t count = 0;          // files added (import) or converted (conversion)
  int32_t unchanged = 0;      // of those converted, the ones skipped as up to date
  std::atomic<uint8_t> running{0};  // a phase stops early when this drops to 0
};

// Resets progress (index 0, no name, count 0, running 1), runs body on a
// thread of its own and waits until it has ended. Only one phase runs at a
// time; the caller reads progress.count afterwards. While it waits, the
// calling thread runs tick (when given) every kTickMillis, e.g. to redraw a
// progress display; a phase shorter than that sees no tick.
inline constexpr int kTickMillis = 100;
void runPhaseThread(BatchProgress& progress, const std::function<void()>& body,
                    const std::function<void()>& tick = {});

// Stores the number of entries visited so far.
void publishVisit(BatchProgress& progress, int32_t visited);

// Adds to the phase result.
void addToCount(BatchProgress& progress, int32_t amount);
