#pragma once

#include <cstddef>

// Memory exhaustion seen by the calling thread. A library that cannot
// allocate usually hands back nothing and says no more; the system allocator
// still leaves its mark (ENOMEM), which these two read. Clear it before a
// piece of work and ask after it, before other system calls overwrite it.
void clearOutOfMemoryMark();
bool outOfMemoryMarked();

// A batch allocates and frees blocks of the same few sizes for every file
// (the file read, the decoded image, the encoded output: megabytes each).
// By default the allocator maps each such block afresh and returns freed
// heap tops at once, so the kernel faults in every page again for every
// file. This keeps blocks up to a bound in the heap for reuse; larger ones
// are still mapped and returned. Call once, before the work starts.
void reuseLargeAllocations();

// Memory for the pixels of a large image whose every byte is about to be
// written (a decoder's output): blocks of at least largePixelBlockBytes(),
// which never come from the heap. Unlike a library's bitmap it is not filled
// with zeros first; its pages are faulted in by one call rather than page by
// page as the decoder first touches them; and blocks released are kept for
// the next images as long as holding them stays within the most pixel
// memory ever in use at once. nullptr when memory
// runs out or the request is smaller; releasePixelMemory gives it back
// (nullptr is ignored). Both may be called from any thread. Where the system
// gives huge pages to memory that asks for them, blocks are in huge pages,
// and largePixelBlockBytes() is smaller: a fresh block costs little then.
size_t largePixelBlockBytes();
void* allocatePixelMemory(size_t bytes);
void releasePixelMemory(void* block);

// Asks the processor to bring bytes at address into the cache ahead of a
// read. For memory read in an order its own prefetcher does not foresee
// (the rows of a bitmap, stored bottom up, read top first); a hint only.
void prefetchForRead(const void* address, size_t bytes);
