#include "pipeline/drawing/hand_over.h"

#include <vector>

#include "pipeline/drawing/png_codec.h"

Bitmap handOverToFreeImage(const Canvas& canvas) {
  std::vector<uint8_t> png;
  if (!encodePng(canvas, &png)) return nullptr;
  MemoryStream stream(FreeImage_OpenMemory(png.data(), static_cast<DWORD>(png.size())));
  if (!stream) return nullptr;
  Bitmap layer = adoptBitmap(FreeImage_LoadFromMemory(FIF_PNG, stream.get(), 0));
  if (layer && FreeImage_GetBPP(layer.get()) != 32) {
    layer = adoptBitmap(FreeImage_ConvertTo32Bits(layer.get()));
  }
  return layer;
}
