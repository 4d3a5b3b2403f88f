#include "formats/writers/exact_palette_bmp.h"

#include <algorithm>
#include <cstring>

#include "formats/writers/rle_bmp.h"

namespace {

// A 14-byte file header and a 40-byte info header before the colour table.
constexpr size_t kFileHeaderBytes = 14;
constexpr size_t kInfoHeaderBytes = 40;
constexpr size_t kHeadersBytes = kFileHeaderBytes + kInfoHeaderBytes;  // 54
constexpr uint32_t kBiRgb = 0;  // biCompression values
constexpr uint32_t kBiRle8 = 1;

void putWord(std::string& out, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The rows bottom first, each padded with zeros to a multiple of 4 bytes.
std::string uncodedPixels(FIBITMAP* image) {
  const size_t width = FreeImage_GetWidth(image);
  const size_t pitch = (width + 3) / 4 * 4;
  const unsigned height = FreeImage_GetHeight(image);
  std::string pixels(pitch * height, '\0');
  for (unsigned y = 0; y < height; ++y) {
    std::memcpy(pixels.data() + pitch * y, FreeImage_GetScanLine(image, static_cast<int>(y)), width);
  }
  return pixels;
}

}  // namespace

int32_t countUsedColors(FIBITMAP* image) {
  const unsigned width = FreeImage_GetWidth(image);
  const unsigned height = FreeImage_GetHeight(image);
  BYTE highest = 0;
  for (unsigned y = 0; y < height; ++y) {
    const BYTE* row = FreeImage_GetScanLine(image, static_cast<int>(y));
    for (unsigned x = 0; x < width; ++x) highest = std::max(highest, row[x]);
  }
  return highest + 1;
}

bool buildExactPaletteBmp(FIBITMAP* image, int32_t saveFlags, std::string* file) {
  if (!image || FreeImage_GetImageType(image) != FIT_BITMAP || FreeImage_GetBPP(image) != 8 ||
      FreeImage_GetPalette(image) == nullptr) {
    return false;
  }
  const bool rle = (saveFlags & BMP_SAVE_RLE) != 0;
  const std::string pixels = rle ? encodeRle8Pixels(image) : uncodedPixels(image);
  const uint32_t used = static_cast<uint32_t>(countUsedColors(image));
  const size_t tableBytes = 4u * used;
  file->assign(kHeadersBytes + tableBytes, '\0');
  (*file)[0] = 'B';
  (*file)[1] = 'M';
  putWord(*file, 2, static_cast<uint32_t>(file->size() + pixels.size()));
  putWord(*file, 10, static_cast<uint32_t>(kHeadersBytes + tableBytes));

  BITMAPINFOHEADER info;
  std::memcpy(&info, FreeImage_GetInfoHeader(image), sizeof(info));
  info.biCompression = rle ? kBiRle8 : kBiRgb;
  info.biSizeImage = static_cast<DWORD>(pixels.size());
  info.biClrUsed = used;
  info.biClrImportant = used;
  static_assert(sizeof(BITMAPINFOHEADER) == kInfoHeaderBytes);
  std::memcpy(file->data() + kFileHeaderBytes, &info, sizeof(info));
  std::memcpy(file->data() + kHeadersBytes, FreeImage_GetPalette(image), tableBytes);
  *file += pixels;
  return true;
}
