#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/writers/png_color_tag.h"
#include "formats/writers/png_layout.h"

// Image data is split into IDAT chunks of this size (the last one smaller).
inline constexpr size_t kPngIdatBytes = size_t{1} << 20;

// The bytes of a PNG file before its image data: the signature, IHDR, the
// colour chunks of tag (gAMA, sRGB), PLTE, tRNS and pHYs, in the order the
// format asks for.
std::string pngHead(const PngLayout& layout, bool interlaced, PngColorTag tag);

// The IEND chunk that ends every PNG file.
std::string pngEnd();

// The 8 bytes that open a chunk of size bytes: its length and type.
void putPngChunkStart(uint8_t* out, const char* type, uint32_t size);

// The CRC that closes a chunk: over its type and data (crc of the 4 type
// bytes, then of the data, as pngCrcUpdate chains them).
uint32_t pngChunkCrc(const uint8_t* typeAndData, size_t size);

// The CRC-32 of PNG chunks (and zlib's and gzip's) of the bytes before, crc
// (0 for none), followed by size more bytes.
uint32_t pngCrcUpdate(uint32_t crc, const uint8_t* data, size_t size);

void putBigEndian32(uint8_t* out, uint32_t value);
