#include "platform/memory.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <utility>

namespace {

// Blocks below this come from the heap; a 4096 x 4096 RGBA image and
// anything larger is still mapped on its own and unmapped when freed.
constexpr int kHeapBlockLimit = 64 << 20;
// Free memory at the top of the heap that is kept for the next file.
constexpr int kKeptHeapTop = 2 * kHeapBlockLimit;

}  // namespace

void clearOutOfMemoryMark() { errno = 0; }

bool outOfMemoryMarked() { return errno == ENOMEM; }

void reuseLargeAllocations() {
  mallopt(M_MMAP_THRESHOLD, kHeapBlockLimit);
  mallopt(M_TRIM_THRESHOLD, kKeptHeapTop);
}

namespace {

// The last large pixel block given back, kept for the next image: a batch
// decodes images of a few sizes over and over, and a fresh block too large
// for the heap's reuse costs a page fault per page, about as much as
// decoding into it. It is kept only while no other large block is in use,
// and a request it does not fit (or fits more than twice over) frees it, so
// it never adds to the peak: whenever it is held, no image is.
struct LargeBlocks {
  std::mutex lock;
  void* kept = nullptr;
  size_t keptBytes = 0;
  int inUse = 0;
};
LargeBlocks& largeBlocks() {
  static LargeBlocks* blocks = new LargeBlocks;  // outlives every image
  return *blocks;
}

bool isLarge(size_t bytes) { return bytes >= static_cast<size_t>(kHeapBlockLimit); }

// A fresh large block, with its pages faulted in by one call, which costs
// the kernel less than a fault per page. Before Linux 5.14 the call fails
// and the pages come in as they are touched.
void* freshLargeBlock(size_t bytes) {
  void* block = std::malloc(bytes);
  if (!block) return nullptr;
  const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto start = reinterpret_cast<uintptr_t>(block) & ~(page - 1);
  const auto end = (reinterpret_cast<uintptr_t>(block) + bytes + page - 1) & ~(page - 1);
  const int savedErrno = errno;  // the out-of-memory mark is about the allocation
  madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
  errno = savedErrno;
  return block;
}

}  // namespace

size_t largePixelBlockBytes() { return static_cast<size_t>(kHeapBlockLimit); }

void* allocatePixelMemory(size_t bytes) {
  if (!isLarge(bytes)) return nullptr;
  LargeBlocks& blocks = largeBlocks();
  void* unfit = nullptr;
  {
    std::lock_guard<std::mutex> hold(blocks.lock);
    ++blocks.inUse;
    if (blocks.kept && blocks.keptBytes >= bytes && blocks.keptBytes / 2 <= bytes) {
      return std::exchange(blocks.kept, nullptr);
    }
    unfit = std::exchange(blocks.kept, nullptr);
  }
  std::free(unfit);
  void* block = freshLargeBlock(bytes);
  if (!block) {
    std::lock_guard<std::mutex> hold(blocks.lock);
    --blocks.inUse;
  }
  return block;
}

void releasePixelMemory(void* block) {
  if (!block) return;
  const size_t bytes = malloc_usable_size(block);
  LargeBlocks& blocks = largeBlocks();
  void* unkept = block;
  {
    std::lock_guard<std::mutex> hold(blocks.lock);
    if (--blocks.inUse == 0) {
      unkept = std::exchange(blocks.kept, block);
      blocks.keptBytes = bytes;
    }
  }
  std::free(unkept);
}

void prefetchForRead(const void* address, size_t bytes) {
  constexpr size_t kCacheLine = 64;
  const auto* bytesAt = static_cast<const char*>(address);
  for (size_t i = 0; i < bytes; i += kCacheLine) __builtin_prefetch(bytesAt + i);
}
