#pragma once

#include <cstddef>
#include <string>

// The bytes of one encoded output file, written by an image library through
// the stream callbacks of that library: writes at a position, seeks back to
// patch a header, reads back what it wrote. Nothing here touches a disk;
// the file is written in one checked piece afterwards.
//
// Writes never throw: when memory runs out the write reports a short count,
// the library fails, and outOfMemory() says why.
class OutputBytes {
 public:
  // expectedSize is a hint: the buffer for it is taken up front (only the
  // pages written are ever touched), so a file of that size grows in place.
  explicit OutputBytes(size_t expectedSize = 0);

  // Writes size bytes at the position and moves it on; a write past the end
  // fills the gap with zeros. False (nothing written) when memory ran out.
  bool write(const void* data, size_t size);

  // Copies up to size bytes from the position; returns the count.
  size_t read(void* data, size_t size);

  // The stdio origins: 0 = start, 1 = current position, 2 = end. False for
  // a position before the start.
  bool seek(long long offset, int origin);
  size_t tell() const { return position_; }
  size_t size() const { return bytes_.size(); }

  bool outOfMemory() const { return outOfMemory_; }

  // The finished file; the object is empty afterwards.
  std::string take();

 private:
  std::string bytes_;
  size_t position_ = 0;
  bool outOfMemory_ = false;
};
