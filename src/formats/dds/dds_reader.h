#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/bitmap.h"

// The program's DDS reader: the header is checked in full, then the top
// level of the first surface (array element 0, cube face +X, volume slice 0)
// is decoded into a FreeImage bitmap. Any file it cannot read, or whose data
// is short, gives an empty bitmap; nothing is read past the end of the data.
Bitmap readDdsImage(const uint8_t* bytes, size_t size);

// Reads the whole file at path (UTF-8) and decodes it as readDdsImage does.
Bitmap readDdsFile(const std::string& path);
