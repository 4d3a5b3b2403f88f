#include "pipeline/drawing/jpeg_decoder.h"

// jpeglib.h needs size_t and FILE declared first.
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>

#include <csetjmp>
#include <vector>

#include "pipeline/drawing/png_codec.h"

namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// it jumps back to decodeInto. Warnings are dropped instead of going to
// standard error.
struct JpegErrors {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

[[noreturn]] void onJpegError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

void onJpegMessage(j_common_ptr /*info*/, int /*level*/) {}

// Converts one decoded row to RGBA.
void storeRow(const JSAMPLE* in, int components, bool adobeCmyk, RgbaPixel* out, JDIMENSION width) {
  for (JDIMENSION x = 0; x < width; ++x) {
    const JSAMPLE* p = in + static_cast<size_t>(x) * components;
    if (components == 1) {
      out[x] = {p[0], p[0], p[0], 255};
    } else if (components == 3) {
      out[x] = {p[0], p[1], p[2], 255};
    } else {
      // CMYK as written by most programs (inverted values): each colour is
      // the ink value times the black value.
      int c = p[0], m = p[1], yl = p[2], k = p[3];
      if (!adobeCmyk) c = 255 - c, m = 255 - m, yl = 255 - yl, k = 255 - k;
      out[x] = {static_cast<uint8_t>(c * k / 255), static_cast<uint8_t>(m * k / 255),
                static_cast<uint8_t>(yl * k / 255), 255};
    }
  }
}

// Everything that libjpeg can jump out of lives here; the objects with
// destructors (the picture and the row buffer) belong to the caller.
bool decodeInto(jpeg_decompress_struct* info, JpegErrors* errors, const std::string& data,
                Canvas* picture, std::vector<JSAMPLE>* row) {
  if (setjmp(errors->jump)) return false;
  jpeg_mem_src(info, reinterpret_cast<const unsigned char*>(data.data()),
               static_cast<unsigned long>(data.size()));
  if (jpeg_read_header(info, TRUE) != JPEG_HEADER_OK) return false;
  const bool cmyk = info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK;
  if (cmyk) {
    info->out_color_space = JCS_CMYK;
  } else if (info->jpeg_color_space == JCS_GRAYSCALE) {
    info->out_color_space = JCS_GRAYSCALE;
  } else {
    info->out_color_space = JCS_RGB;
  }
  const int64_t pixels = int64_t{info->image_width} * info->image_height;
  if (pixels <= 0 || pixels > kMaxPicturePixels) return false;
  jpeg_start_decompress(info);
  if (!picture->create(static_cast<int32_t>(info->output_width),
                       static_cast<int32_t>(info->output_height))) {
    return false;
  }
  row->resize(static_cast<size_t>(info->output_width) * info->output_components);
  const bool adobe = info->saw_Adobe_marker;
  while (info->output_scanline < info->output_height) {
    const JDIMENSION y = info->output_scanline;
    JSAMPROW rows[1] = {row->data()};
    if (jpeg_read_scanlines(info, rows, 1) != 1) return false;
    storeRow(row->data(), info->output_components, adobe, picture->row(static_cast<int32_t>(y)),
             info->output_width);
  }
  jpeg_finish_decompress(info);
  return true;
}

}  // namespace

bool decodeJpeg(const std::string& data, Canvas* picture) {
  *picture = Canvas();
  jpeg_decompress_struct info{};
  JpegErrors errors{};
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = onJpegError;
  errors.manager.emit_message = onJpegMessage;
  jpeg_create_decompress(&info);
  Canvas decoded;
  std::vector<JSAMPLE> row;
  const bool decodedOk = decodeInto(&info, &errors, data, &decoded, &row);
  jpeg_destroy_decompress(&info);
  if (!decodedOk) return false;
  decoded.setDepth(24);
  *picture = std::move(decoded);
  return true;
}
