#pragma once

#include "formats/bitmap.h"
#include "formats/writers/encode_image.h"
#include "formats/writers/png_color_tag.h"

struct PngOptions {
  int level = 0;            // deflate level: 0 stored blocks, 1 (fastest) .. 12 (smallest)
  bool interlaced = false;  // Adam7
  PngColorTag colorTag = PngColorTag::kNone;
};

// Encodes image as PNG (layout: png_layout.h). Level 0 writes the rows in
// stored deflate blocks, unfiltered: the rows are turned into PNG rows in
// place and the checksums taken now, and encoded->stream writes the file
// from the image's rows when the file is written (png_stored_stream.h),
// keeping the image until then. Other levels filter each row (the least sum
// of absolute values; none for palettes and depths below 8, as usual) and
// deflate the rows with libdeflate into encoded->bytes; the image is
// released once its rows are filtered, so at most the image and the filtered
// rows, then the filtered rows and the file, are held at once.
// False, with the image untouched, for a kind of image FreeImage's writer is
// left to write (pngLayoutOf).
bool encodePng(Bitmap& image, const PngOptions& options, EncodedImage* encoded);
