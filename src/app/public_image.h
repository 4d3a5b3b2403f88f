#pragma once

#include <FreeImage.h>

#include "formats/bitmap.h"
#include "pellucid/pellucid.h"

// The pixel memory behind a pellucid::Image: the decoder's bitmap, its rows
// turned top first and its 8-bit colour in red, green, blue order.
struct pellucid::Image::Storage {
  Bitmap bitmap;
};

// What a decoded bitmap holds, in the public terms; false for a kind of
// bitmap the decoder does not make.
bool describeDecodedBitmap(FIBITMAP* bitmap, int* channels, pellucid::SampleType* sampleType);

// Rearranges a decoded bitmap in place for the public Image: rows top first
// and the blue and red bytes of 8-bit colour exchanged. One pass over the
// pixels, no second buffer; afterwards the bitmap is no longer in the order
// FreeImage expects and must not be handed to FreeImage's calls.
void arrangeForPublicImage(FIBITMAP* bitmap);
