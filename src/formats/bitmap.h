#pragma once

#include <FreeImage.h>

#include <memory>

// One owner frees each FreeImage bitmap. Every pipeline step takes the bitmap
// and hands back the one to go on with, so exactly one is alive between steps.
struct FreeImageUnload {
  void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
using Bitmap = std::unique_ptr<FIBITMAP, FreeImageUnload>;

// Takes ownership of a bitmap a FreeImage call returned (nullptr stays empty).
inline Bitmap adoptBitmap(FIBITMAP* bitmap) { return Bitmap(bitmap); }

struct FreeImageMemoryClose {
  void operator()(FIMEMORY* stream) const { FreeImage_CloseMemory(stream); }
};
using MemoryStream = std::unique_ptr<FIMEMORY, FreeImageMemoryClose>;
