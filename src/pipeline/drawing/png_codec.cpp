#include "pipeline/drawing/png_codec.h"

#include <png.h>

#include <cstring>
#include <memory>
#include <new>

namespace {

// Frees what libpng's simplified interface holds when a call fails midway.
class PngImage {
 public:
  PngImage() {
    std::memset(&image_, 0, sizeof image_);
    image_.version = PNG_IMAGE_VERSION;
  }
  ~PngImage() { png_image_free(&image_); }
  PngImage(const PngImage&) = delete;
  PngImage& operator=(const PngImage&) = delete;
  png_image* get() { return &image_; }

 private:
  png_image image_;
};

}  // namespace

namespace {

// libpng reports a fatal error by jumping back to the setjmp of the call; the
// buffer it writes into belongs to the caller, so nothing is skipped.
void appendToBuffer(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  bool appended = true;
  try {
    out->insert(out->end(), data, data + length);
  } catch (const std::bad_alloc&) {
    appended = false;
  }
  if (!appended) png_error(png, "out of memory");  // jumps; no exception crosses libpng
}

void flushNothing(png_structp) {}

// Errors and warnings stay silent: the default handlers print to standard error.
[[noreturn]] void onPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void ignoreWarning(png_structp, png_const_charp) {}

bool writeRows(png_structp png, png_infop info, const Canvas& canvas, std::vector<uint8_t>* out) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, out, appendToBuffer, flushNothing);
  png_set_IHDR(png, info, static_cast<png_uint_32>(canvas.width()),
               static_cast<png_uint_32>(canvas.height()), 8, PNG_COLOR_TYPE_RGB_ALPHA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // The file only lives in memory for a moment: speed matters, size hardly.
  png_set_compression_level(png, 1);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_write_info(png, info);
  for (int32_t y = 0; y < canvas.height(); ++y) {
    png_write_row(png, reinterpret_cast<png_const_bytep>(canvas.row(y)));
  }
  png_write_end(png, info);
  return true;
}

}  // namespace

bool encodePng(const Canvas& canvas, std::vector<uint8_t>* png) {
  png->clear();
  if (canvas.empty()) return false;
  png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, onPngError, ignoreWarning);
  if (!writer) return false;
  png_infop info = png_create_info_struct(writer);
  bool written = false;
  if (info) written = writeRows(writer, info, canvas, png);
  png_destroy_write_struct(&writer, info ? &info : nullptr);
  if (!written) png->clear();
  return written;
}

bool decodePng(const std::string& data, Canvas* picture) {
  *picture = Canvas();
  PngImage image;
  if (!png_image_begin_read_from_memory(image.get(), data.data(), data.size())) return false;
  const int64_t width = image.get()->width;
  const int64_t height = image.get()->height;
  if (width <= 0 || height <= 0 || width * height > kMaxPicturePixels) return false;
  const bool hasAlpha = (image.get()->format & PNG_FORMAT_FLAG_ALPHA) != 0;
  image.get()->format = PNG_FORMAT_RGBA;
  Canvas decoded;
  if (!decoded.create(static_cast<int32_t>(width), static_cast<int32_t>(height))) return false;
  if (!png_image_finish_read(image.get(), nullptr, decoded.row(0), 0, nullptr)) return false;
  decoded.setDepth(hasAlpha ? 32 : 24);
  *picture = std::move(decoded);
  return true;
}
