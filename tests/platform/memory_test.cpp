#include "platform/memory.h"

#include <gtest/gtest.h>

#include <cstring>

// The next large image takes the block the last one gave back when it fits.
// A block too small must never be handed out: every byte is written here, so
// under the address sanitizer a short block fails. (A fresh block may land
// at a freed one's address, so only reuse is asserted.)
TEST(PixelMemory, ALargeBlockIsKeptForTheNextImageOfItsSize) {
  constexpr size_t kMiB = size_t{1} << 20;
  struct Step {
    size_t bytes;
    bool reusesLast;
  } steps[] = {{64 * kMiB, false}, {64 * kMiB, true},   {100 * kMiB, false}, {70 * kMiB, true},
               {200 * kMiB, false}, {65 * kMiB, false}};
  void* last = nullptr;
  for (const Step& step : steps) {
    void* block = allocatePixelMemory(step.bytes);
    ASSERT_NE(block, nullptr) << step.bytes / kMiB << " MiB";
    if (step.reusesLast) {
      EXPECT_EQ(block, last) << step.bytes / kMiB << " MiB";
    }
    std::memset(block, 0x3C, step.bytes);
    releasePixelMemory(block);
    last = block;
  }
}

// The bound is where the heap's blocks end and ours begin (lower where huge
// pages can be had): one byte below it is the heap's.
TEST(PixelMemory, BlocksStartAtTheBound) {
  const size_t bound = largePixelBlockBytes();
  EXPECT_EQ(allocatePixelMemory(bound - 1), nullptr);
  void* block = allocatePixelMemory(bound);
  ASSERT_NE(block, nullptr);
  std::memset(block, 0x3C, bound);
  releasePixelMemory(block);
}
