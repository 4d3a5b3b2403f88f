#pragma once

#include <FreeImage.h>

#include <cstdint>
#include <optional>

#include "formats/bitmap.h"

// Where the channels of one pixel sit in the bitmap kinds the colour steps
// change channel by channel: 24- and 32-bit FIT_BITMAP (blue first in
// memory), FIT_RGB16/FIT_RGBA16 and FIT_RGBF/FIT_RGBAF (red first).
struct ChannelLayout {
  enum class Sample : uint8_t { kByte, kWord, kFloat };
  Sample sample = Sample::kByte;
  int step = 3;  // samples per pixel
  int red = 0;
  int green = 1;
  int blue = 2;
  int alpha = -1;  // -1: no alpha channel

  bool hasAlpha() const { return alpha >= 0; }
};

// The layout of image; nothing for other kinds (palettes, grey, 16-bit packed).
std::optional<ChannelLayout> channelLayoutOf(FIBITMAP* image);

// A width x height bitmap of the sample kind, with or without an alpha
// channel, for a step that fills every pixel (not zeroed first); empty when
// memory runs out.
Bitmap allocateChannels(ChannelLayout::Sample sample, bool alpha, int width, int height);

// image as a bitmap channelLayoutOf knows: palettes, grey and packed 16-bit
// images become 24 bits, or 32 bits when FreeImage sees transparency in them.
Bitmap withChannelLayout(Bitmap image);
