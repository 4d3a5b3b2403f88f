// libpng, opened when a run first reads a PNG: the check reader of written
// files and the watermark picture's decoder (platform/lazy_call.h).
#include <png.h>

#include <cstdlib>

#include "platform/lazy_call.h"

namespace {

const SharedLibrary& pngLibrary() {
  static const SharedLibrary library("png16", 16);
  return library;
}

}  // namespace

// These two never return (the library jumps back to the caller's setjmp),
// which the compiler is told after the call.
void png_error(png_const_structrp png, png_const_charp message) {
  static const auto call = pngLibrary().require<decltype(&png_error)>("png_error");
  call(png, message);
  std::abort();
}

void png_longjmp(png_const_structrp png, int value) {
  static const auto call = pngLibrary().require<decltype(&png_longjmp)>("png_longjmp");
  call(png, value);
  std::abort();
}

PELLUCID_LAZY_CALL(pngLibrary(), png_infop, png_create_info_struct, png_const_structrp)
PELLUCID_LAZY_CALL(pngLibrary(), void, png_destroy_read_struct, png_structpp, png_infopp,
                   png_infopp)
PELLUCID_LAZY_CALL(pngLibrary(), void, png_destroy_write_struct, png_structpp, png_infopp)
PELLUCID_LAZY_CALL(pngLibrary(), png_byte, png_get_bit_depth, png_const_structrp, png_const_inforp)
PELLUCID_LAZY_CALL(pngLibrary(), png_byte, png_get_channels, png_const_structrp, png_const_inforp)
PELLUCID_LAZY_CALL(pngLibrary(), png_uint_32, png_get_image_height, png_const_structrp,
                   png_const_inforp)
PELLUCID_LAZY_CALL(pngLibrary(), png_uint_32, png_get_image_width, png_const_structrp,
                   png_const_inforp)
PELLUCID_LAZY_CALL(pngLibrary(), png_voidp, png_get_io_ptr, png_const_structrp)
PELLUCID_LAZY_CALL(pngLibrary(), int, png_image_begin_read_from_memory, png_imagep, png_const_voidp,
                   size_t)
PELLUCID_LAZY_CALL(pngLibrary(), int, png_image_finish_read, png_imagep, png_const_colorp, void*,
                   png_int_32, void*)
PELLUCID_LAZY_CALL(pngLibrary(), void, png_image_free, png_imagep)
PELLUCID_LAZY_CALL(pngLibrary(), void, png_read_end, png_structrp, png_inforp)
PELLUCID_LAZY_CALL(pngLibrary(), void, png_read_image, png_structrp, png_bytepp)
PELLUCID_LAZY_CALL(pngLibrary(), void, png_read_info, png_structrp, png_inforp)
PELLUCID_LAZY_CALL(pngLibrary(), void, png_read_update_info, png_structrp, png_inforp)
PELLUCID_LAZY_CALL(pngLibrary(), void, png_set_IHDR, png_const_structrp, png_inforp, png_uint_32,
                   png_uint_32, int, int, int, int, int)
PELLUCID_LAZY_CALL(pngLibrary(), void, png_set_bgr, png_structrp)
PELLUCID_LAZY_CALL(pngLibrary(), void, png_set_compression_level, png_structrp, int)
PELLUCID_LAZY_CALL(pngLibrary(), void, png_set_expand, png_structrp)
PELLUCID_LAZY_CALL(pngLibrary(), void, png_set_filter, png_structrp, int, int)
PELLUCID_LAZY_CALL(pngLibrary(), void, png_set_gray_to_rgb, png_structrp)
PELLUCID_LAZY_CALL(pngLibrary(), int, png_set_interlace_handling, png_structrp)
PELLUCID_LAZY_CALL(pngLibrary(), void, png_set_read_fn, png_structrp, png_voidp, png_rw_ptr)
PELLUCID_LAZY_CALL(pngLibrary(), void, png_set_swap, png_structrp)
PELLUCID_LAZY_CALL(pngLibrary(), void, png_set_user_limits, png_structrp, png_uint_32, png_uint_32)
PELLUCID_LAZY_CALL(pngLibrary(), void, png_set_write_fn, png_structrp, png_voidp, png_rw_ptr,
                   png_flush_ptr)
PELLUCID_LAZY_CALL(pngLibrary(), int, png_sig_cmp, png_const_bytep, size_t, size_t)
PELLUCID_LAZY_CALL(pngLibrary(), void, png_write_end, png_structrp, png_inforp)
PELLUCID_LAZY_CALL(pngLibrary(), void, png_write_info, png_structrp, png_const_inforp)
PELLUCID_LAZY_CALL(pngLibrary(), void, png_write_row, png_structrp, png_const_bytep)
PELLUCID_LAZY_CALL(pngLibrary(), png_structp, png_create_read_struct, png_const_charp, png_voidp,
                   png_error_ptr, png_error_ptr)
PELLUCID_LAZY_CALL(pngLibrary(), png_structp, png_create_write_struct, png_const_charp, png_voidp,
                   png_error_ptr, png_error_ptr)
PELLUCID_LAZY_CALL(pngLibrary(), jmp_buf*, png_set_longjmp_fn, png_structrp, png_longjmp_ptr,
                   size_t)
