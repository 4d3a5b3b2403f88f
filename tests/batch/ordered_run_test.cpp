#include "batch/ordered_run.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

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

TEST(OrderedRun, LightResultsGoAheadOfASlowItemWhileHeavyOnesStayWithinTheWindow) {
  constexpr int32_t kWorkers = 2;
  std::atomic<int32_t> heavyAlive{0};  // in work, or made heavy and not yet consumed
  std::atomic<int32_t> mostHeavy{0};
  std::atomic<int32_t> produced{0};
  int32_t producedBeforeFirst = 0;
  std::vector<int32_t> seen;
  // Item 0 is slow; of the rest every third is heavy.
  const auto isLight = [](int32_t index) { return index != 0 && index % 3 != 0; };
  runOrdered<int32_t>(
      300, kWorkers,
      [&](int32_t, int32_t index) {
        const int32_t now = ++heavyAlive;
        int32_t most = mostHeavy.load();
        while (now > most && !mostHeavy.compare_exchange_weak(most, now)) {
        }
        if (index == 0) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (isLight(index)) --heavyAlive;
        ++produced;
        return index;
      },
      [&](int32_t index, int32_t& result) {
        EXPECT_EQ(result, index);
        if (index == 0) producedBeforeFirst = produced.load();
        if (!isLight(index)) --heavyAlive;
        seen.push_back(index);
      },
      [] { return false; }, [&](const int32_t& result) { return isLight(result); });
  ASSERT_EQ(seen.size(), 300u);
  for (int32_t i = 0; i < 300; ++i) EXPECT_EQ(seen[static_cast<size_t>(i)], i);
  EXPECT_LE(mostHeavy.load(), 2 * kWorkers);
  // Without light results only 2 * workers items could be made meanwhile.
  EXPECT_GT(producedBeforeFirst, 2 * kWorkers);
}
