#include "pipeline/pixel_channels.h"

std::optional<ChannelLayout> channelLayoutOf(FIBITMAP* image) {
  using Sample = ChannelLayout::Sample;
  switch (FreeImage_GetImageType(image)) {
    case FIT_BITMAP: {
      const unsigned bpp = FreeImage_GetBPP(image);
      if (bpp != 24 && bpp != 32) return std::nullopt;
      return ChannelLayout{Sample::kByte, static_cast<int>(bpp / 8), FI_RGBA_RED, FI_RGBA_GREEN,
                           FI_RGBA_BLUE, bpp == 32 ? FI_RGBA_ALPHA : -1};
    }
    case FIT_RGB16: return ChannelLayout{Sample::kWord, 3, 0, 1, 2, -1};
    case FIT_RGBA16: return ChannelLayout{Sample::kWord, 4, 0, 1, 2, 3};
    case FIT_RGBF: return ChannelLayout{Sample::kFloat, 3, 0, 1, 2, -1};
    case FIT_RGBAF: return ChannelLayout{Sample::kFloat, 4, 0, 1, 2, 3};
    default: return std::nullopt;
  }
}

Bitmap allocateChannels(ChannelLayout::Sample sample, bool alpha, int width, int height) {
  switch (sample) {
    case ChannelLayout::Sample::kByte:
      return allocateUnfilledBitmap(FIT_BITMAP, width, height, alpha ? 32 : 24, FI_RGBA_RED_MASK,
                                    FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK);
    case ChannelLayout::Sample::kWord:
      return allocateUnfilledBitmap(alpha ? FIT_RGBA16 : FIT_RGB16, width, height, alpha ? 64 : 48);
    case ChannelLayout::Sample::kFloat:
      return allocateUnfilledBitmap(alpha ? FIT_RGBAF : FIT_RGBF, width, height, alpha ? 128 : 96);
  }
  return nullptr;
}

Bitmap withChannelLayout(Bitmap image) {
  if (!image || channelLayoutOf(image.get())) return image;
  if (FreeImage_GetImageType(image.get()) != FIT_BITMAP) return nullptr;
  return adoptBitmap(FreeImage_IsTransparent(image.get()) ? FreeImage_ConvertTo32Bits(image.get())
                                                          : FreeImage_ConvertTo24Bits(image.get()));
}
