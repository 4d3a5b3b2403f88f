#include "formats/writers/png_stored_stream.h"

#include <libdeflate.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "formats/writers/png_chunks.h"

namespace {

constexpr size_t kStoredBlockBytes = 65535;  // the largest stored deflate block
constexpr uint8_t kZlibStoredHeader[2] = {0x78, 0x01};  // deflate, 32K window, fastest
constexpr size_t kBlockHeaderBytes = 5;
constexpr size_t kAdlerBytes = 4;
// Large enough that a file sink passes each full window straight to the
// system, small enough to stay in the cache while it is filled.
constexpr size_t kWindowBytes = size_t{1} << 19;
constexpr uint8_t kIdatType[4] = {'I', 'D', 'A', 'T'};

size_t storedZlibSize(size_t dataBytes) {
  const size_t blocks = std::max<size_t>(1, (dataBytes + kStoredBlockBytes - 1) / kStoredBlockBytes);
  return sizeof(kZlibStoredHeader) + blocks * kBlockHeaderBytes + dataBytes + kAdlerBytes;
}

}  // namespace

PngStoredStream::PngStoredStream(ByteSink& sink, size_t dataBytes, const PngStoredChecksums* known)
    : sink_(&sink),
      window_(new (std::nothrow) uint8_t[kWindowBytes]),
      failed_(!window_),
      zlibLeft_(storedZlibSize(dataBytes)),
      dataLeft_(dataBytes),
      known_(known) {}

bool PngStoredStream::start(const std::string& head) {
  return putRaw(head.data(), head.size()) &&
         putZlib(kZlibStoredHeader, sizeof(kZlibStoredHeader), false);
}

bool PngStoredStream::putRow(uint8_t filter, const uint8_t* row, size_t rowBytes) {
  return putData(&filter, 1) && putData(row, rowBytes);
}

bool PngStoredStream::finish(const std::string& end) {
  if (dataLeft_ != 0 || blockLeft_ != 0) failed_ = true;
  settleAdler();
  taken_.adler = adler_;
  uint8_t adler[kAdlerBytes];
  putBigEndian32(adler, known_ ? known_->adler : adler_);
  if (!putZlib(adler, sizeof(adler), false)) return false;
  if (chunkOpen_ && chunkLeft_ == 0 && !closeChunk()) return false;
  if (chunkOpen_ || zlibLeft_ != 0 || (known_ && chunksClosed_ != known_->chunkCrcs.size())) {
    failed_ = true;
  }
  return putRaw(end.data(), end.size()) && flush();
}

// Puts the filter byte, then answers where in the window the row itself can
// be made, or nullptr when it would cross a block or a chunk (or the filter
// byte could not be put: failed_ says which).
uint8_t* PngStoredStream::roomForRow(uint8_t filter, size_t rowBytes) {
  if (!putData(&filter, 1)) return nullptr;
  if (rowBytes > blockLeft_ || !chunkOpen_ || rowBytes > chunkLeft_ || rowBytes > kWindowBytes) {
    return nullptr;
  }
  if (kWindowBytes - used_ < rowBytes && !flush()) return nullptr;
  return window_.get() + used_;
}

bool PngStoredStream::rowMade(size_t rowBytes) {
  used_ += rowBytes;
  blockLeft_ -= rowBytes;
  chunkLeft_ -= rowBytes;
  return true;
}

bool PngStoredStream::putData(const uint8_t* data, size_t size) {
  while (size > 0) {
    if (blockLeft_ == 0 && !openBlock()) return false;
    const size_t part = std::min(size, blockLeft_);
    if (!putZlib(data, part, true)) return false;
    blockLeft_ -= part;
    data += part;
    size -= part;
  }
  return true;
}

// Bytes of the zlib stream, into as many chunks as they reach; a chunk that
// is full is closed, and the next one opened, first. They are copied into the
// window, to be checksummed there.
bool PngStoredStream::putZlib(const uint8_t* data, size_t size, bool isData) {
  if (!isData) settleAdler();
  while (size > 0) {
    if (failed_) return false;
    if (chunkOpen_ && chunkLeft_ == 0 && !closeChunk()) return false;
    if (!chunkOpen_ && !openChunk()) return false;
    size_t part = std::min(size, chunkLeft_);
    if (used_ == kWindowBytes && !flush()) return false;
    part = std::min(part, kWindowBytes - used_);
    std::memcpy(window_.get() + used_, data, part);
    used_ += part;
    if (!isData) adlerFrom_ = used_;  // a header or the Adler-32 itself
    chunkLeft_ -= part;
    data += part;
    size -= part;
  }
  return true;
}

bool PngStoredStream::putRaw(const void* data, size_t size) {
  settleChecksums();
  const auto* bytes = static_cast<const uint8_t*>(data);
  while (size > 0) {
    if (failed_ || (used_ == kWindowBytes && !flush())) return false;
    const size_t room = std::min(size, kWindowBytes - used_);
    std::memcpy(window_.get() + used_, bytes, room);
    used_ += room;
    crcFrom_ = adlerFrom_ = used_;  // bytes outside the zlib stream or around a chunk's data
    bytes += room;
    size -= room;
  }
  return !failed_;
}

bool PngStoredStream::openBlock() {
  if (dataLeft_ == 0) {  // more rows than were announced
    failed_ = true;
    return false;
  }
  blockLeft_ = std::min(dataLeft_, kStoredBlockBytes);
  dataLeft_ -= blockLeft_;
  const auto size = static_cast<uint16_t>(blockLeft_);
  const auto complement = static_cast<uint16_t>(~size);
  const uint8_t header[kBlockHeaderBytes] = {
      static_cast<uint8_t>(dataLeft_ == 0 ? 1 : 0),  // the final block
      static_cast<uint8_t>(size & 0xFF), static_cast<uint8_t>(size >> 8),
      static_cast<uint8_t>(complement & 0xFF), static_cast<uint8_t>(complement >> 8)};
  return putZlib(header, sizeof(header), false);
}

bool PngStoredStream::openChunk() {
  if (zlibLeft_ == 0) {
    failed_ = true;
    return false;
  }
  chunkLeft_ = std::min(zlibLeft_, kPngIdatBytes);
  zlibLeft_ -= chunkLeft_;
  uint8_t start[8];
  putPngChunkStart(start, "IDAT", static_cast<uint32_t>(chunkLeft_));
  chunkOpen_ = true;
  if (!putRaw(start, sizeof(start))) return false;
  if (!known_) crc_ = pngCrcUpdate(0, kIdatType, sizeof(kIdatType));
  return true;
}

bool PngStoredStream::closeChunk() {
  if (known_ && chunksClosed_ >= known_->chunkCrcs.size()) {  // not the stream measured
    failed_ = true;
    return false;
  }
  settleChecksums();
  const uint32_t value = known_ ? known_->chunkCrcs[chunksClosed_] : crc_;
  if (!known_) taken_.chunkCrcs.push_back(crc_);
  ++chunksClosed_;
  uint8_t crc[4];
  putBigEndian32(crc, value);
  chunkOpen_ = false;
  return putRaw(crc, sizeof(crc));
}

// The checksums are taken over the window's bytes in spans as long as they
// come (a span of the Adler-32 ends at a block's header, one of the CRC at a
// chunk's end, both at the end of the window): in pieces as small as a row,
// each call's start and end would cost as much again.
void PngStoredStream::settleCrc() {
  if (!known_ && used_ > crcFrom_) crc_ = pngCrcUpdate(crc_, window_.get() + crcFrom_, used_ - crcFrom_);
  crcFrom_ = used_;
}

void PngStoredStream::settleAdler() {
  if (!known_ && used_ > adlerFrom_) {
    adler_ = libdeflate_adler32(adler_, window_.get() + adlerFrom_, used_ - adlerFrom_);
  }
  adlerFrom_ = used_;
}

void PngStoredStream::settleChecksums() {
  settleCrc();
  settleAdler();
}

bool PngStoredStream::flush() {
  settleChecksums();
  if (!failed_ && used_ > 0 && !sink_->write(window_.get(), used_)) failed_ = true;
  used_ = crcFrom_ = adlerFrom_ = 0;
  return !failed_;
}
