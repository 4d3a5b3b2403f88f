#pragma once

#include <FreeImage.h>

#include <string>
#include <vector>

#include "pipeline/bitmap.h"

// Small bitmaps with exact pixels for the pipeline step tests. Coordinates are
// top-down (y = 0 is the top row) like every image viewer, although FreeImage
// stores rows bottom-up.

struct Rgba {
  int r = 0, g = 0, b = 0, a = 255;
  bool operator==(const Rgba&) const = default;
};
std::string toString(const Rgba& c);

// A FIT_BITMAP of the given depth filled with one colour. 1-, 4- and 8-bit
// images get an evenly spaced grey palette and the level nearest to fill.r.
Bitmap makeImage(int width, int height, int bpp, Rgba fill = {});

void setPixel(FIBITMAP* image, int x, int y, Rgba color);
Rgba getPixel(FIBITMAP* image, int x, int y);  // through the palette for 1-8 bits

// The image saved as PNG by FreeImage and decoded again by python3 with PIL.
struct PngReadBack {
  bool ok = false;
  int width = 0;
  int height = 0;
  std::string mode;  // PIL mode before conversion: "RGB", "RGBA", "L", "1", "P"
  std::vector<Rgba> pixels;  // row by row from the top, converted to RGBA
  Rgba at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
PngReadBack readBackThroughPng(FIBITMAP* image);
