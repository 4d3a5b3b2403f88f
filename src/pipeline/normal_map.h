#pragma once

#include <cstdint>

#include "formats/dds/dds_reader.h"
#include "formats/bitmap.h"

// --normal-map, by its keyword code.
enum class NormalMapMode : uint8_t { kOff = 0, kOn = 1, kAuto = 2 };

// Whether the blue channel is rebuilt: never (off), for every image (on), or
// (auto) for two-channel normal maps (BC5/ATI2, signed or not) and files
// whose pixel format carries the normal-map flag.
bool wantsNormalRebuild(NormalMapMode mode, const DdsImageFacts& facts);

// Rebuilds blue as the Z of a unit normal: z = sqrt(max(0, 1 - x^2 - y^2)),
// x and y from red and green mapped to -1..1 (2v/255 - 1 for 8 bits; a
// signed format's values are snapped to its own steps of 1/127 or 1/32767;
// float images hold x and y as they are). z goes back on the same scale,
// rounded: (z + 1) / 2 x 255 for 8 bits.
//
// A flagged DXT5 file whose red channel is empty (one value everywhere)
// keeps x in alpha: x is then taken from alpha, written to red, and alpha
// becomes opaque. Images without red and green (greyscale) stay as they are.
// Runs right after loading, before any other step.
Bitmap rebuildNormalZ(Bitmap image, const DdsImageFacts& facts);
