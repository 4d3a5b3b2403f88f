#pragma once

#include <cstdint>

// Uncompressed pixel layouts. A layout says where each channel of a pixel
// sits (bit offset and width, little-endian) and how it is encoded; one
// decoder turns any layout into the pixels of the bitmap handed on.

enum class ChannelEncoding : uint8_t {
  Absent,
  Unorm,          // 0..2^n-1 stands for 0..1
  Snorm,          // two's complement; -(2^(n-1)-1)..2^(n-1)-1 stands for -1..1
  Float,          // IEEE half (16 bits) or single (32 bits)
  UnsignedFloat,  // 5-bit exponent and 6- or 5-bit mantissa (R11G11B10)
};

struct Channel {
  uint8_t offset = 0;  // lowest bit within the pixel
  uint8_t bits = 0;
  ChannelEncoding encoding = ChannelEncoding::Absent;

  bool operator==(const Channel&) const = default;
};

// The kind of bitmap the decoded pixels go into.
enum class PixelOutput : uint8_t {
  Grey8,   // 8-bit greyscale
  Rgb8,    // 24-bit
  Rgba8,   // 32-bit
  Rgb16,   // FIT_RGB16
  Rgba16,  // FIT_RGBA16
  RgbF,    // FIT_RGBF
  RgbaF,   // FIT_RGBAF
};

struct PixelLayout {
  uint32_t bytesPerPixel = 0;  // 1..16
  Channel red, green, blue, alpha;
  bool grey = false;            // red is shown in all three colour channels
  bool sharedExponent = false;  // R9G9B9E5: 9-bit mantissas, exponent in bits 27..31
  PixelOutput output = PixelOutput::Rgba8;

  bool operator==(const PixelLayout&) const = default;
};

// Bytes one pixel of an output kind takes in the bitmap.
uint32_t outputBytesPerPixel(PixelOutput output);

// True when the output kind carries an alpha channel.
bool outputHasAlpha(PixelOutput output);

// Decodes width pixels starting at source into one bitmap scanline of the
// layout's output kind. Absent colour channels become 0 and an absent alpha
// opaque; signed values v become (v + 1) / 2 in integer outputs.
void decodeLayoutRow(const PixelLayout& layout, const uint8_t* source, uint32_t width,
                     uint8_t* scanline);
