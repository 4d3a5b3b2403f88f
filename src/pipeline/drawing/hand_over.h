#pragma once

#include "formats/bitmap.h"
#include "pipeline/drawing/canvas.h"

// Passes a drawn canvas to FreeImage the way every layer travels: encoded as
// a PNG file in memory, opened as a FreeImage memory stream and decoded as
// PNG. The result is a 32-bit bitmap with straight alpha, or empty when any
// stage fails. The buffer and the stream are released before returning; the
// bitmap does not refer to them.
Bitmap handOverToFreeImage(const Canvas& canvas);
