#pragma once

#include <cstdint>
#include <string>

#include "formats/bitmap.h"
#include "formats/writers/png_color_tag.h"
#include "platform/files.h"

// What an image is saved as: the output format and its encoder settings.
struct SaveTarget {
  std::string extension;      // output extension, lower case ("png", "dds", ...)
  int32_t formatCode = 0;     // FreeImage format, or DevIL type for psd, pcx and dds
  int32_t saveFlags = 0;      // FreeImage save flags of the format
  bool exactPalette = false;  // 8-bit bmp with a colour table of the used colours only
  PngColorTag colorTag = PngColorTag::kNone;  // colour chunks of a png file
};

// One output file, encoded and not yet on disk: either its bytes in memory,
// or (an uncompressed layout) a stream that writes the file from the image
// rows it holds when the file is written.
struct EncodedImage {
  bool ok = false;
  bool outOfMemory = false;  // the failure was memory running out
  std::string bytes;         // the whole file when ok and there is no stream
  ByteSource stream;         // when set, writes the whole file (bytes stay empty)
};

// The file's bytes, for the checked writer.
ByteSource encodedBytes(const EncodedImage& encoded);

// Encodes the image in the target's format with the writer that format uses
// (DevIL for psd, pcx and dds; our own writers for exact-palette and RLE8
// bmp, for xpm and for png (png_encoder.h); libjxr for jxr; FreeImage for
// the rest). No library is given a path: the bytes land in memory, or for
// uncompressed layouts in a stream over the image (direct_encode.h), and the
// file is written and checked afterwards (commitOutput). A refusal the
// libraries explain is in the library message record. The image is the
// encoder's.
EncodedImage encodeImage(Bitmap image, const SaveTarget& target);
