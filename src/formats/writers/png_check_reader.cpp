#include "formats/writers/png_check_reader.h"

#include <png.h>

#include <cstring>
#include <vector>

namespace {

struct MemoryInput {
  const std::string* bytes;
  size_t position = 0;
};

[[noreturn]] void onPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void ignoreWarning(png_structp, png_const_charp) {}

void readFromMemory(png_structp png, png_bytep data, png_size_t length) {
  auto* input = static_cast<MemoryInput*>(png_get_io_ptr(png));
  if (input->bytes->size() - input->position < length) png_error(png, "truncated");
  std::memcpy(data, input->bytes->data() + input->position, length);
  input->position += length;
}

// Owner of libpng's read structures.
struct PngReader {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~PngReader() { png_destroy_read_struct(&png, &info, nullptr); }
};

// What the transforms below turn the file into.
FREE_IMAGE_TYPE typeFor(int bitDepth, int channels, int* bpp) {
  *bpp = channels * bitDepth;
  if (bitDepth == 16) return channels == 4 ? FIT_RGBA16 : FIT_RGB16;
  return FIT_BITMAP;
}

// Everything between setjmp and a longjmp is plain data or owned outside,
// so a jump skips no destructor.
bool decodeInto(PngReader& reader, MemoryInput& input, Bitmap& image,
                std::vector<png_bytep>& rows) {
  if (setjmp(png_jmpbuf(reader.png))) return false;
  png_set_read_fn(reader.png, &input, readFromMemory);
  png_read_info(reader.png, reader.info);
  png_set_expand(reader.png);
  png_set_gray_to_rgb(reader.png);
  if (png_get_bit_depth(reader.png, reader.info) == 16) {
    png_set_swap(reader.png);  // FreeImage keeps 16-bit samples in host (little-endian) order
  } else {
    png_set_bgr(reader.png);   // FreeImage's byte order of 24- and 32-bit pixels
  }
  png_set_interlace_handling(reader.png);
  png_read_update_info(reader.png, reader.info);
  const png_uint_32 width = png_get_image_width(reader.png, reader.info);
  const png_uint_32 height = png_get_image_height(reader.png, reader.info);
  const int channels = png_get_channels(reader.png, reader.info);
  const int bitDepth = png_get_bit_depth(reader.png, reader.info);
  if ((channels != 3 && channels != 4) || (bitDepth != 8 && bitDepth != 16)) return false;
  int bpp = 0;
  const FREE_IMAGE_TYPE type = typeFor(bitDepth, channels, &bpp);
  image = adoptBitmap(FreeImage_AllocateT(type, static_cast<int>(width), static_cast<int>(height), bpp));
  if (!image) return false;
  rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) {
    rows[y] = FreeImage_GetScanLine(image.get(), static_cast<int>(height - 1 - y));
  }
  png_read_image(reader.png, rows.data());
  png_read_end(reader.png, nullptr);
  return true;
}

}  // namespace

Bitmap readPngForCheck(const std::string& bytes) {
  if (bytes.size() < 8 || png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.data()), 0, 8) != 0) {
    return nullptr;
  }
  PngReader reader;
  reader.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onPngError, ignoreWarning);
  if (!reader.png) return nullptr;
  reader.info = png_create_info_struct(reader.png);
  if (!reader.info) return nullptr;
  png_set_user_limits(reader.png, 0x7fffffff, 0x7fffffff);
  MemoryInput input{&bytes};
  Bitmap image;
  std::vector<png_bytep> rows;
  if (!decodeInto(reader, input, image, rows)) return nullptr;
  return image;
}
