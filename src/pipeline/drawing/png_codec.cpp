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

bool encodePng(const Canvas& canvas, std::vector<uint8_t>* png) {
  png->clear();
  if (canvas.empty()) return false;
  PngImage image;
  image.get()->width = static_cast<png_uint_32>(canvas.width());
  image.get()->height = static_cast<png_uint_32>(canvas.height());
  image.get()->format = PNG_FORMAT_RGBA;
  // The encoder never writes more than this, so one pass with an
  // uninitialised buffer is enough.
  png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(*image.get());
  std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[size]);
  if (!buffer) return false;
  if (!png_image_write_to_memory(image.get(), buffer.get(), &size, 0, canvas.row(0), 0, nullptr))
    return false;
  try {
    png->assign(buffer.get(), buffer.get() + size);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
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
