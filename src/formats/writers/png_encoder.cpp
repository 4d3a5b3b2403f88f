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
#include "formats/writers/png_stored_stream.h"
#include "platform/memory.h"

namespace {

constexpr int kPaletteColorType = 3;

// The rows forEachRow works in: an image row turned into a PNG row, the row
// of a pass given to the visit and the one before it, and zeros for the row
// above a pass's first.
struct RowBuffers {
  explicit RowBuffers(size_t rowBytes)
      : turned(rowBytes), current(rowBytes), previous(rowBytes), zeros(rowBytes) {}
  std::vector<uint8_t> turned, current, previous, zeros;
};

// Calls visit(row, rowAbove, bytes) for every row of every pass of an image,
// as PNG rows (convertPngRow), in file order; rowAbove is all zeros for the
// first row of a pass. The image is not changed.
template <typename Visit>
bool forEachRow(FIBITMAP* image, const PngLayout& layout, const std::vector<PngPass>& passes,
                RowBuffers& b, Visit&& visit) {
  for (const PngPass& pass : passes) {
    const uint8_t* above = b.zeros.data();
    for (uint32_t j = 0; j < pass.height; ++j) {
      const uint8_t* source = pngRowOf(image, layout, pass.yStart + j * pass.yStep);
      if (pass.xStep > 1) {
        convertPngRow(source, b.turned.data(), layout);
        pickPassPixels(layout, pass, b.turned.data(), b.current.data());
      } else {
        convertPngRow(source, b.current.data(), layout);
      }
      if (!visit(b.current.data(), above, pass.rowBytes)) return false;
      std::swap(b.current, b.previous);
      above = b.previous.data();
    }
  }
  return true;
}

// What a stored PNG needs until its file is written: the image and, once a
// file has been written from it, that file's checksums. Each write turns the
// image's rows into PNG rows, a plain image's straight into the stream, which
// checksums them there, so the image is read once a write and never changed:
// a write that fails leaves it whole, and a later write (the file written
// again, or hashed before it is written) takes the known checksums and only
// turns and copies.
struct StoredPng {
  std::shared_ptr<FIBITMAP> image;
  PngLayout layout;
  std::vector<PngPass> passes;
  std::string head;
  bool measured = false;    // checksums are those of the file
  PngStoredChecksums checksums;

  // Puts every row in file order.
  bool putRows(PngStoredStream& stream) {
    const uint8_t none = static_cast<uint8_t>(PngFilter::kNone);
    if (passes.size() > 1) {
      RowBuffers rows(layout.rowBytes);
      return forEachRow(image.get(), layout, passes, rows,
                        [&](const uint8_t* row, const uint8_t*, size_t bytes) {
                          return stream.putRow(none, row, bytes);
                        });
    }
    // The image's rows lie bottom up in memory, and are read top first, one
    // pitch apart: asking the library for each row's address costs several
    // calls a row.
    const size_t scanline = FreeImage_GetLine(image.get());
    const size_t pitch = FreeImage_GetPitch(image.get());
    const uint8_t* const top =
        FreeImage_GetScanLine(image.get(), static_cast<int>(layout.height - 1));
    for (uint32_t y = 0; y < layout.height; ++y) {
      const uint8_t* row = top - y * pitch;
      if (y + 1 < layout.height) prefetchForRead(row - pitch, scanline);
      if (!stream.putRow(none, layout.rowBytes,
                         [&](uint8_t* out) { convertPngRow(row, out, layout); })) {
        return false;
      }
    }
    return true;
  }

  bool write(ByteSink& sink) {
    PngStoredStream stream(sink, pngFilteredSize(passes), measured ? &checksums : nullptr);
    if (!stream.start(head) || !putRows(stream) || !stream.finish(pngEnd())) return false;
    if (!measured) {
      checksums = stream.checksums();
      measured = true;
    }
    return true;
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
  const size_t chunks = std::max<size_t>(1, (size + kPngIdatBytes - 1) / kPngIdatBytes);
  // The last chunk moves furthest; moving from the back never overwrites
  // data not yet moved.
  for (size_t k = chunks; k-- > 1;) {
    std::memmove(file + at + k * (kPngIdatBytes + 12) + 8, file + at + 8 + k * kPngIdatBytes,
                 std::min(kPngIdatBytes, size - k * kPngIdatBytes));
  }
  for (size_t k = 0; k < chunks; ++k) {
    uint8_t* chunk = file + at + k * (kPngIdatBytes + 12);
    const size_t length = std::min(kPngIdatBytes, size - k * kPngIdatBytes);
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
  const size_t chunks = bound / kPngIdatBytes + 1;
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
  if (options.level > 0) return deflatePng(image, layout, options, encoded);
  auto stored = std::make_shared<StoredPng>(StoredPng{
      std::shared_ptr<FIBITMAP>(std::move(image)), layout, pngPasses(layout, options.interlaced),
      pngHead(layout, options.interlaced, options.colorTag), false, PngStoredChecksums{}});
  encoded->stream = [stored](ByteSink& sink) { return stored->write(sink); };
  encoded->ok = true;
  return true;
}
