#pragma once

#include <cstdint>

#include "formats/dds/dds_format.h"

// How a source's stored values relate to light.
enum class SourceColourSpace : uint8_t {
  kSrgb,    // encoded with the sRGB curve: *_SRGB formats and the 8-bit UNORM colour layouts
  kLinear,  // linear light: float, half, shared-exponent, 16-bit UNORM and SNORM colour
  kData,    // not colour at all: BC4, BC5, R8 and R8G8 layouts, signed 8-bit vectors
};

// The colour space the pixel format says its values are in. Whether the
// image is a normal map is the caller's to add: that depends on a setting.
SourceColourSpace ddsColourSpace(const DdsFormat& format);
