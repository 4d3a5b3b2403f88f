#pragma once

#include <string>

#include "formats/bitmap.h"

// Run-length coded (RLE8) pixel data of an 8-bit image, bottom row first,
// each row as FreeImage's encoder splits it, ending in the end-of-bitmap code:
//
//   run of 4..255 equal bytes      count, value
//   1 or 2 bytes between runs      1, value (once per byte)
//   3..254 bytes between runs      0, count, the bytes, a 0 when count is odd
//   end of row / end of bitmap     0, 0 / 0, 1
//
// Runs of 2 or 3 equal bytes go with the bytes between runs. FreeImage leaves
// the pad byte after an odd stretch unset (it then holds whatever its
// buffer held before); here it is 0, so the bytes depend on the image alone.
std::string encodeRle8Pixels(FIBITMAP* image);

// A whole RLE8 BMP of an 8-bit palettised image: the 14-byte file header with
// the true file size, the image's 40-byte info header (biCompression 1,
// biSizeImage the size of the coded pixels), its colour table, the coded
// pixels. False for any other image, or when memory runs out.
bool buildRleBmp(FIBITMAP* image, std::string* file);
