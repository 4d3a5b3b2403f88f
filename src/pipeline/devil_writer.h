#pragma once

#include <cstdint>
#include <string>

#include "pipeline/bitmap.h"

// Writes the image with DevIL as the DevIL image type (PSD, PCX or DDS) to
// path. A DDS file gets the full chain of mipmaps. The image must be 24- or
// 32-bit. DevIL keeps one bound image per process, so calls are serialised.
bool writeWithDevil(FIBITMAP* image, int32_t devilType, const std::string& path);
