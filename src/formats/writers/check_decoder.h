#pragma once

#include <string>

#include "formats/bitmap.h"
#include "formats/writers/encode_image.h"

// Reads an encoded output back for checking, with the reader its format row
// names (OutputCheck::reader), never the one that wrote it: libpng, libjpeg,
// libtiff and libjxr called directly, the program's own DDS reader, small
// readers of ours for PFM and RLE bitmaps, FreeImage's readers for the rest
// (the DevIL outputs among them). The choice follows the format alone, never
// the writer, so a writer of our own is checked the same way. Empty when the
// bytes do not decode.
Bitmap decodeForCheck(const SaveTarget& target, const std::string& bytes);
