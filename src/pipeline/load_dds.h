#pragma once

#include <string>

#include "formats/bitmap.h"

// Loads the top level of a DDS file (path in UTF-8). The header is checked
// first, so a file that lies about its size or layout is never decoded; such
// a file, like any the decoder rejects, gives an empty bitmap.
Bitmap loadDdsImage(const std::string& path);
