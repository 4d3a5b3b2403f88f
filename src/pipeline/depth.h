#pragma once

#include <cstdint>
#include <string>

#include "formats/bitmap.h"

// The depth an image is saved with.
struct DepthStep {
  std::string extension;   // the output format
  int32_t bpp = 0;         // the format's depth option
  bool automatic = false;  // bpp is 0: chosen per file from its depth as loaded
};

// Brings the image to the step's depth, the last step before saving. With
// automatic depth the depth is first chosen for this file from sourceBpp;
// chosenBpp (when given) receives the depth used. Returns the same bitmap
// when it already has that depth, an empty one when the conversion fails.
//
//   requested  conversion
//   128        four float channels (alpha 1 where the image has none)
//   96         three float channels
//   48         three 16-bit channels
//   32, 24     plain RGBA / RGB
//   16         5-5-5 for ico and tga, 5-6-5 otherwise
//   8          grey for j2k, jp2, jpg, jxr, pgm; otherwise a 256-colour Wu
//              palette (pgm turns an 8-bit palette image into grey as well)
//   4          FreeImage's 4-bit conversion
//   1          Floyd-Steinberg dithering to black and white
Bitmap convertDepth(Bitmap image, const DepthStep& step, int32_t sourceBpp,
                    int32_t* chosenBpp = nullptr);

// Float images clamped to 0..1 per channel: three 16-bit channels for depth
// 48, an 8-bit RGB or RGBA bitmap below. 16-bit images become ordinary
// bitmaps for depths of 16 or less. nullptr when no such change applies.
Bitmap toIntegerChannels(FIBITMAP* image, int32_t depth);

// The smallest depth of the format's list that holds sourceDepth, or the
// largest of the list when none does ("ppm" 24,48 with 32 gives 48). 128
// (float RGBA) is left out of the choice: "exr" 96,128 gives 96 for every
// source, as it did before 128 was allowed.
int32_t chooseAutoDepth(const std::string& extension, int32_t sourceDepth);
