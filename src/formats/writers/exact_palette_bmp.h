#pragma once

#include <cstdint>
#include <string>

#include "formats/bitmap.h"

// An 8-bit BMP whose colour table holds only the colours the pixels use
// (indices 0..n-1) instead of all 256 entries:
//
//   offset    size        content
//   0         14          "BM", file size 54 + 4n + D, 0, pixel offset 54 + 4n
//   14        40          the image's info header; biClrUsed = biClrImportant = n,
//                         biSizeImage = D
//   54        4n          the first n palette entries
//   54 + 4n   D           the rows bottom first, each padded with zeros to 4
//                         bytes, or with BMP_SAVE_RLE in saveFlags their RLE8
//                         codes (encodeRle8Pixels; biCompression 1)
//
// Builds the bytes in memory; false for an image that is not 8-bit palettised.
bool buildExactPaletteBmp(FIBITMAP* image, int32_t saveFlags, std::string* file);

// The highest palette index any pixel uses, plus one (1..256). Every pixel of
// every row counts; the padding at the end of rows does not.
int32_t countUsedColors(FIBITMAP* image);
