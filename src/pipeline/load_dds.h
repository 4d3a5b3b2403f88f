#pragma once

#include <string>

#include "formats/bitmap.h"
#include "formats/dds/dds_reader.h"

// Loads one surface of a DDS file (path in UTF-8); the default surface is the
// top level of the first face and layer. The header is checked first, so a
// file that lies about its size or layout is never decoded; such a file, like
// any the decoder rejects, gives an empty bitmap. facts, when given, receives
// what later steps need to know of the pixel format; refusal, when given, why
// no image came back.
Bitmap loadDdsImage(const std::string& path, const DdsSurfaceId& surface = {},
                    DdsImageFacts* facts = nullptr, std::string* refusal = nullptr);

// The same from the file's bytes, already read whole.
Bitmap loadDdsBytes(const std::string& bytes, const DdsSurfaceId& surface, DdsImageFacts* facts,
                    std::string* refusal);
