#include "pipeline/alpha_mode.h"

#include <algorithm>
#include <cmath>

#include "formats/format_tables.h"
#include "pipeline/pixel_channels.h"

namespace {

// An 8-bit image of image's size with a grey palette.
Bitmap allocateGrey(FIBITMAP* image) {
  Bitmap plane = adoptBitmap(FreeImage_Allocate(static_cast<int>(FreeImage_GetWidth(image)),
                                                static_cast<int>(FreeImage_GetHeight(image)), 8));
  if (!plane) return plane;
  RGBQUAD* palette = FreeImage_GetPalette(plane.get());
  for (int i = 0; i < 256; ++i) {
    const BYTE v = static_cast<BYTE>(i);
    palette[i] = RGBQUAD{v, v, v, 0};
  }
  return plane;
}

template <typename T>
void planeRows(FIBITMAP* in, const ChannelLayout& from, FIBITMAP* out, float scale) {
  const int width = static_cast<int>(FreeImage_GetWidth(in));
  const int height = static_cast<int>(FreeImage_GetHeight(in));
  for (int y = 0; y < height; ++y) {
    const T* source = reinterpret_cast<const T*>(FreeImage_GetScanLine(in, y));
    BYTE* target = FreeImage_GetScanLine(out, y);
    for (int x = 0; x < width; ++x, source += from.step) {
      const float value = static_cast<float>(source[from.alpha]) * scale;
      target[x] = static_cast<BYTE>(std::lround(value > 0.0f ? std::min(value, 255.0f) : 0.0f));
    }
  }
}

template <typename T>
void copyColourRows(FIBITMAP* in, const ChannelLayout& from, FIBITMAP* out, const ChannelLayout& to) {
  const int width = static_cast<int>(FreeImage_GetWidth(in));
  const int height = static_cast<int>(FreeImage_GetHeight(in));
  for (int y = 0; y < height; ++y) {
    const T* source = reinterpret_cast<const T*>(FreeImage_GetScanLine(in, y));
    T* target = reinterpret_cast<T*>(FreeImage_GetScanLine(out, y));
    for (int x = 0; x < width; ++x, source += from.step, target += to.step) {
      target[to.red] = source[from.red];
      target[to.green] = source[from.green];
      target[to.blue] = source[from.blue];
    }
  }
}

template <typename T>
void premultiplyRows(FIBITMAP* image, const ChannelLayout& layout) {
  const int width = static_cast<int>(FreeImage_GetWidth(image));
  const int height = static_cast<int>(FreeImage_GetHeight(image));
  for (int y = 0; y < height; ++y) {
    T* pixel = reinterpret_cast<T*>(FreeImage_GetScanLine(image, y));
    for (int x = 0; x < width; ++x, pixel += layout.step) {
      const T alpha = pixel[layout.alpha];
      for (int channel : {layout.red, layout.green, layout.blue}) {
        if constexpr (sizeof(T) == 4) {
          pixel[channel] = pixel[channel] * alpha;
        } else {
          // Integer arithmetic: round(c x a / top) exactly, halves up.
          constexpr uint32_t top = sizeof(T) == 1 ? 255u : 65535u;
          pixel[channel] = static_cast<T>((uint32_t{pixel[channel]} * alpha * 2 + top) / (2 * top));
        }
      }
    }
  }
}

}  // namespace

bool hasAlphaChannel(FIBITMAP* image) {
  const std::optional<ChannelLayout> layout = channelLayoutOf(image);
  return layout && layout->hasAlpha();
}

Bitmap alphaPlane(FIBITMAP* image) {
  const std::optional<ChannelLayout> layout = channelLayoutOf(image);
  if (!layout || !layout->hasAlpha()) return nullptr;
  Bitmap plane = allocateGrey(image);
  if (!plane) return plane;
  switch (layout->sample) {
    case ChannelLayout::Sample::kByte: planeRows<BYTE>(image, *layout, plane.get(), 1.0f); break;
    case ChannelLayout::Sample::kWord: planeRows<WORD>(image, *layout, plane.get(), 255.0f / 65535.0f); break;
    case ChannelLayout::Sample::kFloat: planeRows<float>(image, *layout, plane.get(), 255.0f); break;
  }
  return plane;
}

Bitmap withoutAlpha(Bitmap image) {
  if (!image) return image;
  const std::optional<ChannelLayout> from = channelLayoutOf(image.get());
  if (!from || !from->hasAlpha()) return image;
  Bitmap out = allocateChannels(from->sample, false, static_cast<int>(FreeImage_GetWidth(image.get())),
                                static_cast<int>(FreeImage_GetHeight(image.get())));
  if (!out) return out;
  const ChannelLayout to = *channelLayoutOf(out.get());
  switch (from->sample) {
    case ChannelLayout::Sample::kByte: copyColourRows<BYTE>(image.get(), *from, out.get(), to); break;
    case ChannelLayout::Sample::kWord: copyColourRows<WORD>(image.get(), *from, out.get(), to); break;
    case ChannelLayout::Sample::kFloat: copyColourRows<float>(image.get(), *from, out.get(), to); break;
  }
  return out;
}

Bitmap premultiplyAlpha(Bitmap image) {
  if (!image) return image;
  const std::optional<ChannelLayout> layout = channelLayoutOf(image.get());
  if (!layout || !layout->hasAlpha()) return image;
  switch (layout->sample) {
    case ChannelLayout::Sample::kByte: premultiplyRows<BYTE>(image.get(), *layout); break;
    case ChannelLayout::Sample::kWord: premultiplyRows<WORD>(image.get(), *layout); break;
    case ChannelLayout::Sample::kFloat: premultiplyRows<float>(image.get(), *layout); break;
  }
  return image;
}

Bitmap greyFromRed(Bitmap image) {
  if (!image) return image;
  const std::optional<ChannelLayout> layout = channelLayoutOf(image.get());
  if (!layout || layout->sample != ChannelLayout::Sample::kByte) return image;
  ChannelLayout red = *layout;
  red.alpha = red.red;  // planeRows reads the "alpha" index
  Bitmap plane = allocateGrey(image.get());
  if (!plane) return plane;
  planeRows<BYTE>(image.get(), red, plane.get(), 1.0f);
  return plane;
}

DepthStep colourDepthOf(const DepthStep& depth, const AlphaStep& step) {
  if (!step.dropsAlpha() || depth.automatic) return depth;
  int32_t without = depth.bpp;
  if (depth.bpp == 32) without = 24;
  if (depth.bpp == 64) without = 48;
  if (depth.bpp == 128) without = 96;
  const std::vector<int32_t> allowed = allowedDepths(depth.extension);
  DepthStep colour = depth;
  if (std::find(allowed.begin(), allowed.end(), without) != allowed.end()) colour.bpp = without;
  return colour;
}

Bitmap finishAlphaPlane(Bitmap plane, const std::string& extension) {
  plane = greyFromRed(std::move(plane));
  return convertDepth(std::move(plane), DepthStep{extension, 0, true}, 8);
}
