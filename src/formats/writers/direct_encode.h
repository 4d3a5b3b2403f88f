#pragma once

#include "formats/bitmap.h"
#include "formats/writers/encode_image.h"

// The encoders that make no in-memory copy of the file through a library
// stream: PNG with our own writer (png_encoder.h), and the uncompressed
// formats whose FreeImage writer only writes forward (BMP and TGA without
// RLE, PBM, PGM, PPM, PFM), which keep the image and write its header and
// rows straight to the checked file writer when the file is written.
// False, with the image untouched, when the target is none of these; the
// general encoders take it then.
bool encodeDirectly(Bitmap& image, const SaveTarget& target, EncodedImage* encoded);
