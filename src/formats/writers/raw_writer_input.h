#pragma once

#include "formats/bitmap.h"
#include "formats/writers/encode_image.h"

// FreeImage's PBM writer stores a 1-bit image's bits as they are, whatever the
// palette says, and its TIFF writer stores a 32-bit CMYK image's four bytes as
// they are. This turns the image the encoder owns into what those writers
// must be given to store its pixels:
// - PBM (1 is black): where the palette has black at index 0, every bit is
//   flipped and the two palette entries swap, so the pixels stay the same;
// - 32-bit TIFF with the CMYK flag: each pixel becomes C = 255 - R,
//   M = 255 - G, Y = 255 - B, K = 0 (alpha has no place in four channels),
//   which every CMYK reader turns back into the same red, green and blue.
// Other images and formats are left alone.
void prepareForRawWriter(FIBITMAP* image, const SaveTarget& target);
