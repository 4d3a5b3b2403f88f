// libjpeg, opened when a run first reads a JPEG: the check reader of written
// files and the watermark picture's decoder (platform/lazy_call.h).
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include "platform/lazy_call.h"

namespace {

const SharedLibrary& jpegLibrary() {
  static const SharedLibrary library("jpeg", 62);
  return library;
}

}  // namespace

PELLUCID_LAZY_CALL(jpegLibrary(), void, jpeg_CreateDecompress, j_decompress_ptr, int, size_t)
PELLUCID_LAZY_CALL(jpegLibrary(), void, jpeg_destroy_decompress, j_decompress_ptr)
PELLUCID_LAZY_CALL(jpegLibrary(), boolean, jpeg_finish_decompress, j_decompress_ptr)
PELLUCID_LAZY_CALL(jpegLibrary(), void, jpeg_mem_src, j_decompress_ptr, const unsigned char*,
                   unsigned long)
PELLUCID_LAZY_CALL(jpegLibrary(), int, jpeg_read_header, j_decompress_ptr, boolean)
PELLUCID_LAZY_CALL(jpegLibrary(), JDIMENSION, jpeg_read_scanlines, j_decompress_ptr, JSAMPARRAY,
                   JDIMENSION)
PELLUCID_LAZY_CALL(jpegLibrary(), boolean, jpeg_start_decompress, j_decompress_ptr)
PELLUCID_LAZY_CALL(jpegLibrary(), struct jpeg_error_mgr*, jpeg_std_error, struct jpeg_error_mgr*)
