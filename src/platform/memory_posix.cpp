#include "platform/memory.h"

#include <malloc.h>

#include <cerrno>

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
