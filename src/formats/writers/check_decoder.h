#pragma once

#include <string>

#include "formats/bitmap.h"
#include "formats/writers/encode_image.h"

// Reads an encoded output back for checking, with a reader other than the
// one that wrote it wherever one exists: libpng, libjpeg and libtiff
// directly for PNG, JPEG and TIFF (LogLuv TIFF through FreeImage, whose
// reader converts its XYZ samples); libjxr's decoder for JPEG XR; the
// program's own DDS reader for DDS (top level); a small reader of ours for
// PFM (FreeImage reads its rows upside down) and RLE bitmaps (FreeImage
// refuses sound RLE8 files); FreeImage's readers for the
// DevIL outputs (PSD, PCX) and for every other format. The choice follows
// the format alone, never the writer, so a writer of our own is checked the
// same way. Empty when the bytes do not decode.
Bitmap decodeForCheck(const SaveTarget& target, const std::string& bytes);
