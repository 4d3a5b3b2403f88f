#pragma once

#include <FreeImage.h>

#include <string>
#include <vector>

#include "formats/bitmap.h"

// Small bitmaps with exact pixels for the pipeline step tests. Coordinates are
// top-down (y = 0 is the top row) like every image viewer, although FreeImage
// stores rows bottom-up. Kept in a namespace of its own: every test file
// links into one executable.

namespace pipeline_test {

struct Pixel {
  int r = 0, g = 0, b = 0, a = 255;
  bool operator==(const Pixel&) const = default;
};
std::string toString(const Pixel& c);

// A FIT_BITMAP of the given depth filled with one colour. 1-, 4- and 8-bit
// images get an evenly spaced grey palette and the level nearest to fill.r.
Bitmap makeImage(int width, int height, int bpp, Pixel fill = {});

// A white, opaque image of 16 bits per channel (FIT_RGB16 or FIT_RGBA16).
Bitmap makeWideImage(FREE_IMAGE_TYPE type, int width, int height);

void setPixel(FIBITMAP* image, int x, int y, Pixel color);
Pixel getPixel(FIBITMAP* image, int x, int y);  // through the palette for 1-8 bits

// The image saved as PNG by FreeImage and decoded again by python3 with PIL.
struct PngReadBack {
  bool ok = false;
  int width = 0;
  int height = 0;
  std::string mode;  // PIL mode before conversion: "RGB", "RGBA", "L", "1", "P"
  std::vector<Pixel> pixels;  // row by row from the top, converted to RGBA
  Pixel at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
PngReadBack readBackThroughPng(FIBITMAP* image);

}  // namespace pipeline_test
