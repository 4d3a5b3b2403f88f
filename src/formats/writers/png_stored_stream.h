#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"

// The checksums of a stored stream: the CRC-32 of each IDAT chunk, in order,
// and the Adler-32 of the data.
struct PngStoredChecksums {
  std::vector<uint32_t> chunkCrcs;
  uint32_t adler = 1;
};

// A PNG file whose image data is not compressed, made as it is written: the
// head, then the filter and row bytes in a zlib stream of stored deflate
// blocks (65535 bytes each, the last one smaller) cut into IDAT chunks of a
// megabyte (the last one smaller), then the end. The Adler-32 of the data and
// the CRC-32 of each chunk are taken while the bytes are fresh in the cache.
// Bytes are gathered in a window of the stream's own and given to the sink in
// large pieces, which a file sink writes as they are: rows are copied once,
// into the window, where a conversion can put them.
class PngStoredStream {
 public:
  // dataBytes: the filter and row bytes of every row that will be put.
  // With known, the checksums an earlier stream of the same bytes took, none
  // are taken: the stream only gathers and writes (a file written apart from
  // the thread that made its image, whose work is taken off that thread).
  PngStoredStream(ByteSink& sink, size_t dataBytes, const PngStoredChecksums* known = nullptr);

  // Writes the bytes before the image data, and the zlib header.
  bool start(const std::string& head);

  // Puts one row: its filter byte, then rowBytes bytes that fill(out) writes.
  // A row that fits in the current block, chunk and window is filled in
  // place; another is filled into scratch (rowBytes + 1 bytes) and copied.
  template <typename Fill>
  bool putRow(uint8_t filter, size_t rowBytes, uint8_t* scratch, Fill&& fill) {
    size_t room = rowBytes + 1;
    uint8_t* out = claimData(&room);
    if (!out) return false;
    if (room == rowBytes + 1) {
      out[0] = filter;
      fill(out + 1);
      commitData(out, room);
      return true;
    }
    scratch[0] = filter;
    fill(scratch + 1);
    return putData(scratch, rowBytes + 1);
  }

  // Writes the Adler-32 that ends the zlib stream, then end, and hands the
  // last bytes to the sink. False when any write failed, or when the rows put
  // were not dataBytes.
  bool finish(const std::string& end);

  // The checksums taken when none were known; complete after finish.
  const PngStoredChecksums& checksums() const { return taken_; }

 private:
  uint8_t* claimData(size_t* size);
  void commitData(const uint8_t* data, size_t size);
  bool putData(const uint8_t* data, size_t size);
  uint8_t* claimZlib(size_t* size);
  void commitZlib(size_t size);
  bool putZlib(const uint8_t* data, size_t size);
  bool putRaw(const void* data, size_t size);
  bool openBlock();
  bool openChunk();
  bool closeChunk();
  bool flush();

  ByteSink& sink_;
  std::unique_ptr<uint8_t[]> window_;
  size_t used_ = 0;        // bytes in the window, not yet given to the sink
  bool failed_ = false;    // a write failed (or the window could not be had)
  size_t zlibLeft_;        // zlib stream bytes not yet in a chunk
  size_t chunkLeft_ = 0;   // bytes the open chunk still takes; 0 when none is open
  bool chunkOpen_ = false;
  uint32_t crc_ = 0;       // of the open chunk so far
  size_t dataLeft_;        // data bytes not yet in a block
  size_t blockLeft_ = 0;   // data bytes the open block still takes
  uint32_t adler_ = 1;
  const PngStoredChecksums* known_;
  size_t chunksClosed_ = 0;
  PngStoredChecksums taken_;
};
