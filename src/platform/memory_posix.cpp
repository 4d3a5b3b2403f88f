#include "platform/memory.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace {

// Blocks below this come from the heap; a 4096 x 4096 RGBA image and
// anything larger is still mapped on its own and unmapped when freed.
constexpr int kHeapBlockLimit = 64 << 20;
// Free memory at the top of the heap that is kept for the next file.
constexpr int kKeptHeapTop = 2 * kHeapBlockLimit;
// Where the system backs memory with huge pages on request, a fresh block
// costs a few faults instead of one per 4 KiB page (tens of times less, and
// less than zero-filling a block the heap kept), so smaller images get
// pixel blocks of their own too.
constexpr size_t kHugePageBlockBytes = size_t{8} << 20;
// Each block's mapping starts with its length; the pixels follow.
constexpr size_t kBlockHeaderBytes = 64;

// True when transparent huge pages are given to memory that asks for them.
bool hugePagesOnRequest() {
  static const bool available = [] {
    std::ifstream settings("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string text;
    std::getline(settings, text);
    return text.find("[always]") != std::string::npos || text.find("[madvise]") != std::string::npos;
  }();
  return available;
}

}  // namespace

void clearOutOfMemoryMark() { errno = 0; }

bool outOfMemoryMarked() { return errno == ENOMEM; }

void reuseLargeAllocations() {
  mallopt(M_MMAP_THRESHOLD, kHeapBlockLimit);
  mallopt(M_TRIM_THRESHOLD, kKeptHeapTop);
}

namespace {

// Large pixel blocks given back, kept for the next images: a batch decodes
// images of a few sizes over and over (a decoded texture and its converted
// copy, say), and a fresh block too large for the heap's reuse costs a page
// fault per page, about as much as decoding into it. Blocks are kept only
// while in use and kept together stay within the most ever in use at once,
// so keeping never adds to the peak.
struct LargeBlocks {
  std::mutex lock;
  struct Kept {
    void* block;
    size_t bytes;
  };
  std::vector<Kept> kept;
  size_t inUseBytes = 0;
  size_t peakBytes = 0;  // the most inUseBytes has been

  size_t keptBytes() const {
    size_t total = 0;
    for (const Kept& block : kept) total += block.bytes;
    return total;
  }
};
constexpr size_t kMostKeptBlocks = 16;

LargeBlocks& largeBlocks() {
  static LargeBlocks* blocks = new LargeBlocks;  // outlives every image
  return *blocks;
}

bool isLarge(size_t bytes) { return bytes >= largePixelBlockBytes(); }

// A fresh block mapped on its own (the heap never holds it, so freeing it
// leaves no hole there), in huge pages where the system has them, with its
// pages faulted in by one call, which costs the kernel less than a fault per
// page. Before Linux 5.14 that call fails and the pages come in as they are
// touched.
void* freshLargeBlock(size_t bytes) {
  if (bytes > SIZE_MAX - kBlockHeaderBytes) {
    errno = ENOMEM;
    return nullptr;
  }
  const size_t length = bytes + kBlockHeaderBytes;
  void* mapping = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapping == MAP_FAILED) return nullptr;  // errno is the out-of-memory mark
  const int savedErrno = errno;
  madvise(mapping, length, MADV_HUGEPAGE);
  madvise(mapping, length, MADV_POPULATE_WRITE);
  errno = savedErrno;
  std::memcpy(mapping, &length, sizeof(length));
  return static_cast<char*>(mapping) + kBlockHeaderBytes;
}

size_t mappingLength(void* block) {
  size_t length;
  std::memcpy(&length, static_cast<char*>(block) - kBlockHeaderBytes, sizeof(length));
  return length;
}

size_t blockBytes(void* block) { return mappingLength(block) - kBlockHeaderBytes; }

void freeBlock(void* block) {
  if (block) munmap(static_cast<char*>(block) - kBlockHeaderBytes, mappingLength(block));
}

}  // namespace

size_t largePixelBlockBytes() {
  return hugePagesOnRequest() ? kHugePageBlockBytes : static_cast<size_t>(kHeapBlockLimit);
}

void* allocatePixelMemory(size_t bytes) {
  if (!isLarge(bytes)) return nullptr;
  LargeBlocks& blocks = largeBlocks();
  std::vector<void*> unfit;
  unfit.reserve(kMostKeptBlocks);  // no allocation once the books are being changed
  {
    std::lock_guard<std::mutex> hold(blocks.lock);
    // The smallest kept block that fits, unless it fits more than twice over.
    auto best = blocks.kept.end();
    for (auto kept = blocks.kept.begin(); kept != blocks.kept.end(); ++kept) {
      if (kept->bytes >= bytes && kept->bytes / 2 <= bytes &&
          (best == blocks.kept.end() || kept->bytes < best->bytes)) {
        best = kept;
      }
    }
    if (best != blocks.kept.end()) {
      void* block = best->block;
      blocks.inUseBytes += best->bytes;
      blocks.kept.erase(best);
      return block;
    }
    // A fresh block: kept ones go where holding them would pass the peak.
    blocks.inUseBytes += bytes;
    blocks.peakBytes = std::max(blocks.peakBytes, blocks.inUseBytes);
    while (!blocks.kept.empty() && blocks.inUseBytes + blocks.keptBytes() > blocks.peakBytes) {
      unfit.push_back(blocks.kept.back().block);
      blocks.kept.pop_back();
    }
  }
  for (void* block : unfit) freeBlock(block);
  void* block = freshLargeBlock(bytes);
  if (!block) {
    std::lock_guard<std::mutex> hold(blocks.lock);
    blocks.inUseBytes -= bytes;
  }
  return block;
}

void releasePixelMemory(void* block) {
  if (!block) return;
  const size_t bytes = blockBytes(block);
  LargeBlocks& blocks = largeBlocks();
  {
    std::lock_guard<std::mutex> hold(blocks.lock);
    blocks.inUseBytes -= std::min(bytes, blocks.inUseBytes);
    if (blocks.kept.size() < kMostKeptBlocks &&
        blocks.inUseBytes + blocks.keptBytes() + bytes <= blocks.peakBytes) {
      try {
        blocks.kept.push_back({block, bytes});
        return;
      } catch (...) {
        // No room to note it: it is given back.
      }
    }
  }
  freeBlock(block);
}

void prefetchForRead(const void* address, size_t bytes) {
  constexpr size_t kCacheLine = 64;
  const auto* bytesAt = static_cast<const char*>(address);
  for (size_t i = 0; i < bytes; i += kCacheLine) __builtin_prefetch(bytesAt + i);
}
