#include "formats/writers/jpeg_check_reader.h"

// jpeglib.h needs size_t and FILE declared first.
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>

#include <csetjmp>

namespace {

struct JpegErrors {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

[[noreturn]] void onJpegError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

void onJpegMessage(j_common_ptr, int) {}

// Owner of the decompressor.
struct JpegDecoder {
  jpeg_decompress_struct info{};
  JpegErrors errors{};
  bool created = false;
  ~JpegDecoder() {
    if (created) jpeg_destroy_decompress(&info);
  }
};

Bitmap allocateFor(const jpeg_decompress_struct& info) {
  const bool grey = info.out_color_components == 1;
  Bitmap image = adoptBitmap(FreeImage_Allocate(static_cast<int>(info.output_width),
                                                static_cast<int>(info.output_height), grey ? 8 : 24));
  if (image && grey) {
    RGBQUAD* palette = FreeImage_GetPalette(image.get());
    for (int i = 0; i < 256; ++i) {
      palette[i].rgbRed = palette[i].rgbGreen = palette[i].rgbBlue = static_cast<BYTE>(i);
    }
  }
  return image;
}

// Between setjmp and a longjmp only plain data and outside owners live.
bool decodeInto(JpegDecoder& decoder, const std::string& bytes, Bitmap& image) {
  jpeg_decompress_struct& info = decoder.info;
  if (setjmp(decoder.errors.jump)) return false;
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) return false;
  info.out_color_space = info.num_components == 1 ? JCS_GRAYSCALE : JCS_EXT_BGR;
  jpeg_start_decompress(&info);
  image = allocateFor(info);
  if (!image) return false;
  const unsigned height = info.output_height;
  while (info.output_scanline < height) {
    JSAMPROW row = FreeImage_GetScanLine(image.get(), static_cast<int>(height - 1 - info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  return true;
}

}  // namespace

Bitmap readJpegForCheck(const std::string& bytes) {
  JpegDecoder decoder;
  decoder.info.err = jpeg_std_error(&decoder.errors.manager);
  decoder.errors.manager.error_exit = onJpegError;
  decoder.errors.manager.emit_message = onJpegMessage;
  jpeg_create_decompress(&decoder.info);
  decoder.created = true;
  Bitmap image;
  if (!decodeInto(decoder, bytes, image)) return nullptr;
  return image;
}
