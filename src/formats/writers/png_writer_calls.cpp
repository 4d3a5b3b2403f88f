// The PNG writer's libraries, opened when a run first writes a PNG
// (platform/lazy_call.h): libdeflate compresses, ISA-L sums the chunks'
// CRC-32, libyuv reorders the rows' channels.
#include <isa-l/crc.h>
#include <libdeflate.h>
#include <libyuv/convert_from_argb.h>
#include <libyuv/cpu_id.h>
#include <libyuv/planar_functions.h>

#include "platform/lazy_call.h"

namespace {

const SharedLibrary& deflateLibrary() {
  static const SharedLibrary library("deflate", 0);
  return library;
}

const SharedLibrary& isalLibrary() {
  static const SharedLibrary library("isal", 2);
  return library;
}

const SharedLibrary& yuvLibrary() {
  static const SharedLibrary library("yuv", 0);
  return library;
}

}  // namespace

PELLUCID_LAZY_CALL(deflateLibrary(), uint32_t, libdeflate_adler32, uint32_t, const void*, size_t)
PELLUCID_LAZY_CALL(deflateLibrary(), struct libdeflate_compressor*, libdeflate_alloc_compressor,
                   int)
PELLUCID_LAZY_CALL(deflateLibrary(), void, libdeflate_free_compressor,
                   struct libdeflate_compressor*)
PELLUCID_LAZY_CALL(deflateLibrary(), size_t, libdeflate_zlib_compress,
                   struct libdeflate_compressor*, const void*, size_t, void*, size_t)
PELLUCID_LAZY_CALL(deflateLibrary(), size_t, libdeflate_zlib_compress_bound,
                   struct libdeflate_compressor*, size_t)
PELLUCID_LAZY_CALL(isalLibrary(), uint32_t, crc32_gzip_refl, uint32_t, const unsigned char*,
                   uint64_t)

namespace libyuv {

PELLUCID_LAZY_CALL(yuvLibrary(), int, ARGBToABGR, const uint8_t*, int, uint8_t*, int, int, int)
PELLUCID_LAZY_CALL(yuvLibrary(), int, ARGBToRAW, const uint8_t*, int, uint8_t*, int, int, int)
PELLUCID_LAZY_CALL0(yuvLibrary(), int, InitCpuFlags)
PELLUCID_LAZY_CALL(yuvLibrary(), int, RAWToRGB24, const uint8_t*, int, uint8_t*, int, int, int)

}  // namespace libyuv
