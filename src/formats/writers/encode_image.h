#pragma once

#include <cstdint>
#include <string>

#include "formats/bitmap.h"

// What an image is saved as: the output format and its encoder settings.
struct SaveTarget {
  std::string extension;      // output extension, lower case ("png", "dds", ...)
  int32_t formatCode = 0;     // FreeImage format, or DevIL type for psd, pcx and dds
  int32_t saveFlags = 0;      // FreeImage save flags of the format
  bool exactPalette = false;  // 8-bit bmp with a colour table of the used colours only
};

// One output file, encoded in memory and not yet on disk.
struct EncodedImage {
  bool ok = false;
  bool outOfMemory = false;  // the failure was memory running out
  std::string bytes;         // the whole file when ok
};

// Encodes the image in the target's format with the writer that format uses
// (DevIL for psd, pcx and dds; our own writers for exact-palette and RLE8
// bmp and for xpm; libjxr for jxr; FreeImage for the rest). No library is
// given a path: every byte lands in memory, so the file can be written and
// checked in one piece afterwards
// (commitOutput). A refusal the libraries explain is in the library message
// record. The image may be changed; the caller is its last user.
EncodedImage encodeImage(FIBITMAP* image, const SaveTarget& target);
