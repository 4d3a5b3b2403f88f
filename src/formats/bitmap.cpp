#include "formats/bitmap.h"

#include <cstdint>
#include <cstring>

#include "platform/memory.h"

// Part of FreeImage's API since 3.17 (a bitmap header over pixels the caller
// owns); Debian's copy of the header leaves the declaration out.
extern "C" DLL_API FIBITMAP* DLL_CALLCONV FreeImage_AllocateHeaderForBits(
    BYTE* bits, unsigned pitch, FREE_IMAGE_TYPE type, int width, int height, int bpp,
    unsigned redMask, unsigned greenMask, unsigned blueMask);

void FreeImageUnload::operator()(FIBITMAP* bitmap) {
  FreeImage_Unload(bitmap);
  releasePixelMemory(ownPixels);
  ownPixels = nullptr;
}

Bitmap allocateUnfilledBitmap(FREE_IMAGE_TYPE type, int width, int height, int bpp,
                              unsigned redMask, unsigned greenMask, unsigned blueMask) {
  if (width <= 0 || height <= 0 || bpp <= 0) return nullptr;
  // FreeImage's own row length: whole bytes, rounded up to 4.
  const uint64_t line = (uint64_t{static_cast<uint32_t>(width)} * static_cast<uint32_t>(bpp) + 7) / 8;
  const uint64_t pitch = (line + 3) & ~uint64_t{3};
  const uint64_t bytes = pitch * static_cast<uint32_t>(height);
  if (pitch > UINT32_MAX || bytes > SIZE_MAX) return nullptr;
  // A smaller image stays in FreeImage's one heap block: there the zero fill
  // is cheap (the pages are the last file's), and a separate pixel block
  // would leave holes in the heap that the next file cannot fill.
  if (bytes < largePixelBlockBytes()) {
    return adoptBitmap(FreeImage_AllocateT(type, width, height, bpp, redMask, greenMask, blueMask));
  }
  auto* pixels = static_cast<BYTE*>(allocatePixelMemory(static_cast<size_t>(bytes)));
  if (!pixels) return nullptr;
  Bitmap bitmap(FreeImage_AllocateHeaderForBits(pixels, static_cast<unsigned>(pitch), type, width,
                                                height, bpp, redMask, greenMask, blueMask));
  if (!bitmap) {
    releasePixelMemory(pixels);
    return nullptr;
  }
  bitmap.get_deleter().ownPixels = pixels;
  if (line < pitch) {
    for (int y = 0; y < height; ++y) std::memset(pixels + y * pitch + line, 0, pitch - line);
  }
  return bitmap;
}
