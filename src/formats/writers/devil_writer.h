#pragma once

#include <cstdint>
#include <string>

#include "formats/bitmap.h"
#include "formats/writers/output_bytes.h"

// Encodes the image with DevIL as the DevIL image type (PSD, PCX or DDS) into
// out, through write callbacks of ours; DevIL never sees a file. A DDS file
// gets the full chain of mipmaps. The image must be 24- or 32-bit. DevIL
// keeps one bound image and one set of callbacks per process, so calls are
// serialised. False when DevIL fails or memory ran out (out->outOfMemory()).
bool encodeWithDevil(FIBITMAP* image, int32_t devilType, OutputBytes* out);
