#pragma once

#include <cstdint>

#include "formats/bitmap.h"
#include "pipeline/depth.h"

// --alpha, by its keyword code.
enum class AlphaMode : uint8_t { kStraight = 0, kPremultiplied = 1, kDrop = 2, kSeparate = 3 };

struct AlphaStep {
  AlphaMode mode = AlphaMode::kStraight;

  // The colour image loses its alpha channel right after loading.
  bool dropsAlpha() const { return mode == AlphaMode::kDrop || mode == AlphaMode::kSeparate; }
};

// The depth the colour image is saved with: when alpha is dropped, a depth
// that holds alpha (32, 64, 128) becomes the same without it where the
// format has that depth; automatic depth follows the dropped image anyway.
DepthStep colourDepthOf(const DepthStep& depth, const AlphaStep& step);

// The separate alpha image brought to the output format: 8-bit grey where
// the format has that depth, else the format's automatic depth for it.
Bitmap finishAlphaPlane(Bitmap plane, const std::string& extension);

// True when the image has an alpha channel (32-bit, FIT_RGBA16, FIT_RGBAF).
bool hasAlphaChannel(FIBITMAP* image);

// The alpha channel as an 8-bit grey image (16-bit and float alpha scaled
// and rounded, float clamped to 0..1); empty when the image has none.
Bitmap alphaPlane(FIBITMAP* image);

// The image without its alpha channel, colour values kept as they are
// (float values too); images without alpha come back as they are.
Bitmap withoutAlpha(Bitmap image);

// Colour multiplied by alpha in images that have it: round(c x a / 255) for
// 8 bits, round(c x a / 65535) for 16, c x a for floats.
Bitmap premultiplyAlpha(Bitmap image);

// An 8-bit grey image made of the red channel of a 24- or 32-bit one (the
// alpha plane after a step that widened it); others come back as they are.
Bitmap greyFromRed(Bitmap image);
