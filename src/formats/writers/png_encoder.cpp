#include "formats/writers/png_encoder.h"

#include <libdeflate.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "formats/writers/png_chunks.h"
#include "formats/writers/png_filter.h"
#include "formats/writers/png_interlace.h"
#include "formats/writers/png_layout.h"

namespace {

// Image data is split into IDAT chunks of this size (the last one smaller).
constexpr size_t kIdatBytes = size_t{1} << 20;
constexpr size_t kStoredBlockBytes = 65535;  // the largest stored deflate block
constexpr uint8_t kZlibStoredHeader[2] = {0x78, 0x01};  // deflate, 32K window, fastest
constexpr int kPaletteColorType = 3;

// Rows of an interlaced pass, picked out of the image's rows.
struct RowBuffers {
  explicit RowBuffers(size_t rowBytes)
      : current(rowBytes), previous(rowBytes), zeros(rowBytes) {}
  std::vector<uint8_t> current, previous, zeros;
};

// Calls visit(row, rowAbove, bytes) for every row of every pass of an image
// turned into PNG rows (convertToPngRows), in file order; rowAbove is all
// zeros for the first row of a pass. A plain image's rows are the image's.
template <typename Visit>
bool forEachRow(FIBITMAP* image, const PngLayout& layout, const std::vector<PngPass>& passes,
                RowBuffers& b, Visit&& visit) {
  for (const PngPass& pass : passes) {
    const uint8_t* above = b.zeros.data();
    for (uint32_t j = 0; j < pass.height; ++j) {
      const uint8_t* full = pngRowOf(image, layout, pass.yStart + j * pass.yStep);
      const uint8_t* row = full;
      if (pass.xStep > 1) {
        pickPassPixels(layout, pass, full, b.current.data());
        row = b.current.data();
      }
      if (!visit(row, above, pass.rowBytes)) return false;
      if (pass.xStep > 1) {
        std::swap(b.current, b.previous);
        above = b.previous.data();
      } else {
        above = full;
      }
    }
  }
  return true;
}

// A zlib stream of known size, cut into IDAT chunks on its way to the sink.
class IdatStream {
 public:
  IdatStream(ByteSink& sink, size_t total) : sink_(sink), left_(total) {}

  bool write(const uint8_t* data, size_t size) {
    while (size > 0) {
      if (chunkLeft_ == 0 && !startChunk()) return false;
      const size_t take = std::min(size, chunkLeft_);
      if (!sink_.write(data, take)) return false;
      crc_ = libdeflate_crc32(crc_, data, take);
      data += take;
      size -= take;
      chunkLeft_ -= take;
      if (chunkLeft_ == 0 && !endChunk()) return false;
    }
    return true;
  }

 private:
  bool startChunk() {
    chunkLeft_ = std::min(left_, kIdatBytes);
    left_ -= chunkLeft_;
    uint8_t start[8];
    putPngChunkStart(start, "IDAT", static_cast<uint32_t>(chunkLeft_));
    crc_ = libdeflate_crc32(0, start + 4, 4);
    return sink_.write(start, sizeof(start));
  }

  bool endChunk() {
    uint8_t crc[4];
    putBigEndian32(crc, crc_);
    return sink_.write(crc, sizeof(crc));
  }

  ByteSink& sink_;
  size_t left_;
  size_t chunkLeft_ = 0;
  uint32_t crc_ = 0;
};

size_t storedZlibSize(size_t dataBytes) {
  const size_t blocks = std::max<size_t>(1, (dataBytes + kStoredBlockBytes - 1) / kStoredBlockBytes);
  return sizeof(kZlibStoredHeader) + blocks * 5 + dataBytes + 4;
}

// Data of known size as a zlib stream of stored blocks.
class StoredZlib {
 public:
  StoredZlib(IdatStream& out, size_t total) : out_(out), left_(total) {}

  bool start() { return out_.write(kZlibStoredHeader, sizeof(kZlibStoredHeader)); }

  bool write(const uint8_t* data, size_t size) {
    while (size > 0) {
      if (blockLeft_ == 0 && !startBlock()) return false;
      const size_t take = std::min(size, blockLeft_);
      if (!out_.write(data, take)) return false;
      adler_ = libdeflate_adler32(adler_, data, take);
      data += take;
      size -= take;
      blockLeft_ -= take;
    }
    return true;
  }

  bool finish() {
    uint8_t adler[4];
    putBigEndian32(adler, adler_);
    return out_.write(adler, sizeof(adler));
  }

 private:
  bool startBlock() {
    blockLeft_ = std::min(left_, kStoredBlockBytes);
    left_ -= blockLeft_;
    const auto size = static_cast<uint16_t>(blockLeft_);
    const auto complement = static_cast<uint16_t>(~size);
    const uint8_t header[5] = {static_cast<uint8_t>(left_ == 0 ? 1 : 0),
                               static_cast<uint8_t>(size & 0xFF), static_cast<uint8_t>(size >> 8),
                               static_cast<uint8_t>(complement & 0xFF),
                               static_cast<uint8_t>(complement >> 8)};
    return out_.write(header, sizeof(header));
  }

  IdatStream& out_;
  size_t left_;
  size_t blockLeft_ = 0;
  uint32_t adler_ = 1;
};

// What a stored PNG needs until its file is written.
struct StoredPng {
  std::shared_ptr<FIBITMAP> image;
  PngLayout layout;
  std::vector<PngPass> passes;
  std::string head;
  RowBuffers rows;

  bool write(ByteSink& sink) {
    const size_t filtered = pngFilteredSize(passes);
    IdatStream idat(sink, storedZlibSize(filtered));
    StoredZlib zlib(idat, filtered);
    const uint8_t noFilter = static_cast<uint8_t>(PngFilter::kNone);
    const bool written =
        sink.write(head.data(), head.size()) && zlib.start() &&
        forEachRow(image.get(), layout, passes, rows,
                   [&](const uint8_t* row, const uint8_t*, size_t bytes) {
                     return zlib.write(&noFilter, 1) && zlib.write(row, bytes);
                   }) &&
        zlib.finish();
    const std::string end = pngEnd();
    return written && sink.write(end.data(), end.size());
  }
};

struct CompressorFree {
  void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
};
using Compressor = std::unique_ptr<libdeflate_compressor, CompressorFree>;

// One compressor per level and thread, made on first use (each holds a
// megabyte or more of tables).
libdeflate_compressor* compressorFor(int level) {
  thread_local Compressor compressors[13];
  Compressor& compressor = compressors[level];
  if (!compressor) compressor.reset(libdeflate_alloc_compressor(level));
  return compressor.get();
}

// Turns the zlib stream at file[at + 8 ..] (size bytes) into IDAT chunks in
// place, the room for their starts and ends being there, and ends the file.
size_t cutIntoChunks(uint8_t* file, size_t at, size_t size) {
  const size_t chunks = std::max<size_t>(1, (size + kIdatBytes - 1) / kIdatBytes);
  // The last chunk moves furthest; moving from the back never overwrites
  // data not yet moved.
  for (size_t k = chunks; k-- > 1;) {
    std::memmove(file + at + k * (kIdatBytes + 12) + 8, file + at + 8 + k * kIdatBytes,
                 std::min(kIdatBytes, size - k * kIdatBytes));
  }
  for (size_t k = 0; k < chunks; ++k) {
    uint8_t* chunk = file + at + k * (kIdatBytes + 12);
    const size_t length = std::min(kIdatBytes, size - k * kIdatBytes);
    putPngChunkStart(chunk, "IDAT", static_cast<uint32_t>(length));
    putBigEndian32(chunk + 8 + length, pngChunkCrc(chunk + 4, 4 + length));
  }
  return at + size + chunks * 12;
}

bool deflatePng(Bitmap& image, const PngLayout& layout, const PngOptions& options,
                EncodedImage* encoded) {
  const std::vector<PngPass> passes = pngPasses(layout, options.interlaced);
  const size_t filteredSize = pngFilteredSize(passes);
  const std::unique_ptr<uint8_t[]> filtered(new uint8_t[filteredSize]);
  const bool choose = layout.bitDepth >= 8 && layout.colorType != kPaletteColorType;
  RowBuffers rows(layout.rowBytes);
  uint8_t* out = filtered.get();
  forEachRow(image.get(), layout, passes, rows,
             [&](const uint8_t* row, const uint8_t* above, size_t bytes) {
               filterPngRow(row, above, bytes, layout.pixelBytes, choose, out);
               out += bytes + 1;
               return true;
             });
  image.reset();

  libdeflate_compressor* compressor = compressorFor(options.level);
  if (!compressor) {
    encoded->outOfMemory = true;
    return true;
  }
  const std::string head = pngHead(layout, options.interlaced, options.colorTag);
  const std::string end = pngEnd();
  const size_t bound = libdeflate_zlib_compress_bound(compressor, filteredSize);
  const size_t chunks = bound / kIdatBytes + 1;
  // The file is made in a buffer of the largest size it can have, whose
  // pages are touched only as far as it is written, then copied once to its
  // own size.
  const std::unique_ptr<uint8_t[]> file(new uint8_t[head.size() + bound + chunks * 12 + end.size()]);
  std::memcpy(file.get(), head.data(), head.size());
  const size_t zlibSize = libdeflate_zlib_compress(compressor, filtered.get(), filteredSize,
                                                   file.get() + head.size() + 8, bound);
  if (zlibSize == 0) return true;
  const size_t used = cutIntoChunks(file.get(), head.size(), zlibSize);
  std::memcpy(file.get() + used, end.data(), end.size());
  encoded->bytes.assign(reinterpret_cast<const char*>(file.get()), used + end.size());
  encoded->ok = true;
  return true;
}

}  // namespace

bool encodePng(Bitmap& image, const PngOptions& options, EncodedImage* encoded) {
  PngLayout layout;
  if (!pngLayoutOf(image.get(), &layout)) return false;
  *encoded = EncodedImage{};
  convertToPngRows(image.get(), layout);
  if (options.level > 0) return deflatePng(image, layout, options, encoded);
  auto stored = std::make_shared<StoredPng>(StoredPng{
      std::shared_ptr<FIBITMAP>(std::move(image)), layout, pngPasses(layout, options.interlaced),
      pngHead(layout, options.interlaced, options.colorTag), RowBuffers(layout.rowBytes)});
  encoded->stream = [stored](ByteSink& sink) { return stored->write(sink); };
  encoded->ok = true;
  return true;
}
