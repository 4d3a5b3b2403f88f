#pragma once

#include <FreeImage.h>

#include <memory>
#include <utility>

// One owner frees each FreeImage bitmap. Every pipeline step takes the bitmap
// and hands back the one to go on with, so exactly one is alive between steps.
// A bitmap made over pixel memory of our own (allocateUnfilledBitmap) frees
// that memory with it; FreeImage copies such pixels whenever it clones.
struct FreeImageUnload {
  void* ownPixels = nullptr;

  FreeImageUnload() = default;
  // The pixels move with their bitmap: an owner moved from must not free them
  // with the next bitmap it is given.
  FreeImageUnload(FreeImageUnload&& other) noexcept
      : ownPixels(std::exchange(other.ownPixels, nullptr)) {}
  FreeImageUnload& operator=(FreeImageUnload&& other) noexcept {
    std::swap(ownPixels, other.ownPixels);
    return *this;
  }
  void operator()(FIBITMAP* bitmap);
};
using Bitmap = std::unique_ptr<FIBITMAP, FreeImageUnload>;

// Takes ownership of a bitmap a FreeImage call returned (nullptr stays empty).
inline Bitmap adoptBitmap(FIBITMAP* bitmap) { return Bitmap(bitmap); }

// A bitmap for a writer that fills every pixel (a decoder). A large one
// (largePixelBlockBytes() and more) lies over pixel memory of our own that
// is not zero-filled first, as FreeImage does for every bitmap it allocates,
// which for a fresh block costs as much as decoding into it; its scanline
// padding is zeroed, so files written from it do not change. A smaller one
// is FreeImage's own. Arguments as FreeImage_AllocateT's; nullptr when
// memory runs out.
Bitmap allocateUnfilledBitmap(FREE_IMAGE_TYPE type, int width, int height, int bpp,
                              unsigned redMask = 0, unsigned greenMask = 0, unsigned blueMask = 0);

struct FreeImageMemoryClose {
  void operator()(FIMEMORY* stream) const { FreeImage_CloseMemory(stream); }
};
using MemoryStream = std::unique_ptr<FIMEMORY, FreeImageMemoryClose>;
