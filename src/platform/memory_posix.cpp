#include "platform/memory.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
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

// The last large pixel block this thread gave back, kept for its next image:
// a batch decodes images of a few sizes over and over, and a fresh block too
// large for the heap's reuse costs a page fault per page, about as much as
// decoding into it. One per thread, freed with the thread; a request it does
// not fit (or fits more than twice over) frees it first, so it adds nothing
// to the peak.
struct KeptBlock {
  void* block = nullptr;
  size_t bytes = 0;
  ~KeptBlock() { std::free(block); }
};
thread_local KeptBlock kept;

bool isLarge(size_t bytes) { return bytes >= static_cast<size_t>(kHeapBlockLimit); }

}  // namespace

void* allocatePixelMemory(size_t bytes) {
  if (!isLarge(bytes)) return std::malloc(bytes);
  if (kept.block && kept.bytes >= bytes && kept.bytes / 2 <= bytes) {
    return std::exchange(kept.block, nullptr);
  }
  std::free(std::exchange(kept.block, nullptr));
  void* block = std::malloc(bytes);
  if (!block) return nullptr;
  // A mapped block: its pages are faulted in here in one go, which costs the
  // kernel less than a fault per page. Before Linux 5.14 the call fails and
  // the pages come in as they are touched, as before.
  const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto start = reinterpret_cast<uintptr_t>(block) & ~(page - 1);
  const auto end = (reinterpret_cast<uintptr_t>(block) + bytes + page - 1) & ~(page - 1);
  const int savedErrno = errno;  // the out-of-memory mark is about the allocation
  madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
  errno = savedErrno;
  return block;
}

void releasePixelMemory(void* block) {
  if (!block) return;
  const size_t bytes = malloc_usable_size(block);
  if (!isLarge(bytes)) {
    std::free(block);
    return;
  }
  std::free(kept.block);
  kept.block = block;
  kept.bytes = bytes;
}
