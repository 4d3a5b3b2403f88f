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

// The image data of a PNG file that is not compressed, as it is written: the
// filter and row bytes in a zlib stream of stored deflate blocks (65535 bytes
// each, the last one smaller) cut into IDAT chunks of a megabyte (the last
// one smaller), between the head and the end of the file. The bytes are
// gathered in a window of the stream's own and handed to the sink in large
// pieces, which a file sink writes as they are. The checksums (a CRC-32 at
// the end of each chunk, the Adler-32 at the end of the data) are taken as
// the bytes pass, unless the stream is given them: a file written again from
// the same rows only copies.
class PngStoredStream {
 public:
  // Writes to sink. dataBytes: the filter and row bytes of every row to be
  // put; known, when given, holds the checksums another stream of the same
  // rows took.
  PngStoredStream(ByteSink& sink, size_t dataBytes, const PngStoredChecksums* known);

  // Writes the bytes before the image data, and the zlib header.
  bool start(const std::string& head);

  // Puts one row: its filter byte, then the bytes of the row.
  bool putRow(uint8_t filter, const uint8_t* row, size_t rowBytes);

  // Puts one row whose rowBytes bytes make(out) writes at out: straight into
  // the stream's window where the row fits in its stored block and chunk,
  // else into a row of its own that is then put as above.
  template <typename Make>
  bool putRow(uint8_t filter, size_t rowBytes, Make&& make) {
    if (uint8_t* out = roomForRow(filter, rowBytes)) {
      make(out);
      return rowMade(rowBytes);
    }
    if (failed_) return false;
    if (spareRow_.size() < rowBytes) spareRow_.resize(rowBytes);
    make(spareRow_.data());
    return putData(spareRow_.data(), rowBytes);
  }

  // Writes the Adler-32 that ends the zlib stream, then end, and hands the
  // last bytes to the sink. False when any write failed, or when the rows put
  // were not dataBytes, or known was not of this stream.
  bool finish(const std::string& end);

  // The checksums taken when none were known; complete after finish.
  const PngStoredChecksums& checksums() const { return taken_; }

 private:
  uint8_t* roomForRow(uint8_t filter, size_t rowBytes);
  bool rowMade(size_t rowBytes);
  bool putData(const uint8_t* data, size_t size);
  bool putZlib(const uint8_t* data, size_t size, bool isData);
  bool putRaw(const void* data, size_t size);
  bool openBlock();
  bool openChunk();
  bool closeChunk();
  bool flush();
  void settleCrc();
  void settleAdler();
  void settleChecksums();

  ByteSink* sink_;
  std::unique_ptr<uint8_t[]> window_;
  size_t used_ = 0;        // bytes in the window, not yet given to the sink
  bool failed_ = false;    // a write failed (or the window could not be had)
  size_t zlibLeft_;        // zlib stream bytes not yet in a chunk
  size_t chunkLeft_ = 0;   // bytes the open chunk still takes
  bool chunkOpen_ = false;
  uint32_t crc_ = 0;       // of the open chunk so far, up to crcFrom_
  size_t crcFrom_ = 0;     // window bytes from here on: zlib bytes of the open chunk, not in crc_
  size_t dataLeft_;        // data bytes not yet in a block
  size_t blockLeft_ = 0;   // data bytes the open block still takes
  uint32_t adler_ = 1;     // of the data so far, up to adlerFrom_
  size_t adlerFrom_ = 0;   // window bytes from here on: data bytes, not in adler_
  const PngStoredChecksums* known_ = nullptr;
  size_t chunksClosed_ = 0;
  PngStoredChecksums taken_;
  std::vector<uint8_t> spareRow_;  // a row that does not fit in one block and chunk
};
