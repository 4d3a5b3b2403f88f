#include "formats/writers/exact_palette_bmp.h"

#include <algorithm>
#include <cstring>

namespace {

// FreeImage's in-memory BMP: 14-byte file header, 40-byte info header and a
// full table of 256 four-byte colours before the pixel data.
constexpr size_t kFileHeaderBytes = 14;
constexpr size_t kInfoHeaderBytes = 40;
constexpr size_t kHeadersBytes = kFileHeaderBytes + kInfoHeaderBytes;  // 54
constexpr size_t kCompressionOffset = kFileHeaderBytes + 16;          // biCompression

void putWord(std::string& out, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

uint32_t getWord(const BYTE* bytes, size_t offset) {
  return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
         static_cast<uint32_t>(bytes[offset + 3]) << 24;
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
  MemoryStream stream(FreeImage_OpenMemory(nullptr, 0));
  if (!stream || !FreeImage_SaveToMemory(FIF_BMP, image, stream.get(), saveFlags)) return false;
  BYTE* data = nullptr;
  DWORD size = 0;
  if (!FreeImage_AcquireMemory(stream.get(), &data, &size) || size < kHeadersBytes) return false;
  // FreeImage writes its full 256-entry table; the pixel data follows it.
  const size_t pixelStart = getWord(data, 10);
  if (pixelStart < kHeadersBytes || pixelStart > size) return false;

  const uint32_t used = static_cast<uint32_t>(countUsedColors(image));
  const size_t pixelBytes = size - pixelStart;
  const size_t tableBytes = 4u * used;
  file->assign(kHeadersBytes + tableBytes + pixelBytes, '\0');
  (*file)[0] = 'B';
  (*file)[1] = 'M';
  putWord(*file, 2, static_cast<uint32_t>(file->size()));
  putWord(*file, 10, static_cast<uint32_t>(kHeadersBytes + tableBytes));

  BITMAPINFOHEADER info;
  std::memcpy(&info, FreeImage_GetInfoHeader(image), sizeof(info));
  // The compression is the one FreeImage really used for the pixel data.
  info.biCompression = getWord(data, kCompressionOffset);
  info.biSizeImage = static_cast<DWORD>(pixelBytes);
  info.biClrUsed = used;
  info.biClrImportant = used;
  static_assert(sizeof(BITMAPINFOHEADER) == kInfoHeaderBytes);
  std::memcpy(file->data() + kFileHeaderBytes, &info, sizeof(info));
  std::memcpy(file->data() + kHeadersBytes, FreeImage_GetPalette(image), tableBytes);
  std::memcpy(file->data() + kHeadersBytes + tableBytes, data + pixelStart, pixelBytes);
  return true;
}
