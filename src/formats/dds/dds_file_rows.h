#pragma once

#include <cstdint>
#include <string>

#include "formats/dds/dds_format.h"
#include "formats/bitmap.h"
#include "platform/readable_file.h"

// Reads an uncompressed image whose stored rows already are the bitmap's
// scanlines (ddsRowsAreScanlines) from file straight into the
// rows of a new bitmap, with no copy of the file in memory. The first row
// starts at offset; rowPitch is the distance of rows in the file (0: packed).
// The bitmap is the one decodeDdsImage gives for the same bytes; empty on
// the same conditions, and when the file ends early or cannot be read.
Bitmap readDdsRowsFromFile(const ReadableFile& file, const DdsFormat& format, uint32_t width,
                           uint32_t height, uint64_t offset, uint64_t rowPitch);
