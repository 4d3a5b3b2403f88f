#include "platform/memory.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <utility>

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
  void* unfit = nullptr;
  {
    std::lock_guard<std::mutex> hold(blocks.lock);
    ++blocks.inUse;
    if (blocks.kept && blocks.keptBytes >= bytes && blocks.keptBytes / 2 <= bytes) {
      return std::exchange(blocks.kept, nullptr);
    }
    unfit = std::exchange(blocks.kept, nullptr);
  }
  freeBlock(unfit);
  void* block = freshLargeBlock(bytes);
  if (!block) {
    std::lock_guard<std::mutex> hold(blocks.lock);
    --blocks.inUse;
  }
  return block;
}

void releasePixelMemory(void* block) {
  if (!block) return;
  const size_t bytes = blockBytes(block);
  LargeBlocks& blocks = largeBlocks();
  void* unkept = block;
  {
    std::lock_guard<std::mutex> hold(blocks.lock);
    if (--blocks.inUse == 0) {
      unkept = std::exchange(blocks.kept, block);
      blocks.keptBytes = bytes;
    }
  }
  freeBlock(unkept);
}

void prefetchForRead(const void* address, size_t bytes) {
  constexpr size_t kCacheLine = 64;
  const auto* bytesAt = static_cast<const char*>(address);
  for (size_t i = 0; i < bytes; i += kCacheLine) __builtin_prefetch(bytesAt + i);
}
