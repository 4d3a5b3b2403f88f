#pragma once

#include <cstdint>
#include <string>

#include "formats/bitmap.h"
#include "formats/writers/output_bytes.h"
#include "platform/files.h"

// Encodes the image with FreeImage in the given format (a FreeImage format
// code) into out; FreeImage never sees a file. Corrections of FreeImage's
// own behaviour:
// - PFM files get their bottom row first, as the format (and every other
//   reader) has it; FreeImage alone writes the top row first.
// - TIFF compressions that FreeImage writes without error but that no reader
//   can open (CCITT fax on anything but 1 bit, LogLuv on anything but float
//   RGB) fail instead of giving a broken file.
// - 16-bit icons, which FreeImage writes in a layout no reader accepts, fail.
// - HDR (RGBE) gets a copy of the image clamped to what RGBE holds (negative
//   and NaN as 0, +inf as the largest RGBE value) instead of wrapped values.
// The image is left as it came (a PFM is flipped for the save and back).
// False when FreeImage fails (it has then reported why) or memory ran out
// (out->outOfMemory()).
bool encodeWithFreeImage(FIBITMAP* image, int32_t format, int32_t flags, OutputBytes* out);

// True when FreeImage writes this TIFF compression readably for the image.
bool isReadableTiffCompression(FIBITMAP* image, int32_t flags);

// For a format FreeImage writes front to back (the row's streamsFromRows:
// BMP, TGA, PBM, PGM, PPM, PFM): true when these flags ask for no RLE and
// FreeImage can write this image in that format, so the file can go
// straight to a sink.
bool isStreamedByFreeImage(FIBITMAP* image, int32_t format, int32_t flags);

// Saves image with FreeImage straight into sink (as encodeWithFreeImage,
// for a format isStreamedByFreeImage allows; the caller has turned PFM
// images upside down). False when FreeImage or the sink failed.
bool streamWithFreeImage(FIBITMAP* image, int32_t format, int32_t flags, ByteSink& sink);
