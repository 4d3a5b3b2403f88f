#include "platform/memory.h"

#include <gtest/gtest.h>

#include <cstdint>
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

// An image decoded in one block and converted into another gives both
// back; the next image of the same sizes takes both again, with what was
// written in them (a fresh mapping would hold zeros).
TEST(PixelMemory, BlocksOfTwoImagesInUseAtOnceAreBothKept) {
  constexpr size_t kMiB = size_t{1} << 20;
  const size_t sizes[] = {80 * kMiB, 60 * kMiB};
  const uint8_t marks[] = {0x5A, 0xA5};
  void* blocks[2];
  for (int i = 0; i < 2; ++i) {
    blocks[i] = allocatePixelMemory(sizes[i]);
    ASSERT_NE(blocks[i], nullptr);
    std::memset(blocks[i], marks[i], sizes[i]);
  }
  for (void* block : blocks) releasePixelMemory(block);
  for (int i = 0; i < 2; ++i) {
    void* again = allocatePixelMemory(sizes[i]);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again, blocks[i]) << i;
    const auto* bytes = static_cast<const uint8_t*>(again);
    EXPECT_EQ(bytes[0], marks[i]) << i;
    EXPECT_EQ(bytes[sizes[i] - 1], marks[i]) << i;
    blocks[i] = again;
  }
  for (void* block : blocks) releasePixelMemory(block);
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
