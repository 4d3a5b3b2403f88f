#include "batch/ordered_run.h"

#include <gtest/gtest.h>

#include <atomic>

TEST(OrderedRun, ResultsArriveInOrderWithAtMostTwicePerWorkerAlive) {
  for (int32_t workers : {1, 2, 3, 8}) {
    std::atomic<int32_t> alive{0};
    std::atomic<int32_t> mostAlive{0};
    std::vector<int32_t> seen;
    runOrdered<int32_t>(
        50, workers,
        [&](int32_t worker, int32_t index) {
          EXPECT_LT(worker, workers);
          const int32_t now = ++alive;
          int32_t most = mostAlive.load();
          while (now > most && !mostAlive.compare_exchange_weak(most, now)) {
          }
          // Late items finish first, so early ones have to be waited for.
          std::this_thread::sleep_for(std::chrono::microseconds((50 - index) * 20));
          return index * 3;
        },
        [&](int32_t index, int32_t& result) {
          EXPECT_EQ(result, index * 3);
          seen.push_back(index);
          --alive;
        },
        [] { return false; });
    ASSERT_EQ(seen.size(), 50u) << workers;
    for (int32_t i = 0; i < 50; ++i) EXPECT_EQ(seen[static_cast<size_t>(i)], i) << workers;
    EXPECT_LE(mostAlive.load(), 2 * workers) << workers;
  }
}

TEST(OrderedRun, AStopEndsTheRunAndDropsWhatIsNotConsumed) {
  for (int32_t workers : {1, 4}) {
    std::atomic<bool> stop{false};
    std::atomic<int32_t> produced{0};
    int32_t consumed = 0;
    runOrdered<int32_t>(
        1000, workers, [&](int32_t, int32_t index) { ++produced; return index; },
        [&](int32_t index, int32_t&) {
          ++consumed;
          if (index == 9) stop = true;
        },
        [&] { return stop.load(); });
    EXPECT_EQ(consumed, 10) << workers;
    EXPECT_LE(produced.load(), 10 + 2 * workers) << workers;
  }
}
