#pragma once

#include <cstdint>

#include "formats/dds/layouts.h"

// What a DDS file's top level holds, found from the legacy pixel format or the
// DXGI format of the extended header.

enum class DdsEncoding : uint8_t {
  Unsupported,
  Bc1,
  Bc2,
  Bc3,
  Bc4,
  Bc4Signed,
  Bc5,
  Bc5Signed,
  Bc6h,
  Bc6hSigned,
  Bc7,
  Uncompressed,  // rows of whole pixels described by `layout`
};

struct DdsFormat {
  DdsEncoding encoding = DdsEncoding::Unsupported;
  PixelLayout layout;          // Uncompressed only
  bool premultiplied = false;  // colour is stored multiplied by alpha
  // One index byte per pixel into the 256 B, G, R, A entries stored after
  // the header; `layout` gives the size and output kind only.
  bool paletted = false;
  // Single-channel layouts that hold data, not luminance (R8): shown
  // in every channel like luminance but never colour-converted.
  bool dataChannels = false;
};

// A four-character code as the header stores it: the first character in the
// lowest byte ("DXT1" reads as the bytes 'D' 'X' 'T' '1').
constexpr uint32_t makeFourCc(char a, char b, char c, char d) {
  return static_cast<uint32_t>(static_cast<uint8_t>(a)) |
         static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24;
}

// The legacy pixel-format fields of the header.
struct LegacyPixelFormat {
  uint32_t flags = 0;
  uint32_t fourCc = 0;
  uint32_t bitCount = 0;
  uint32_t redMask = 0;
  uint32_t greenMask = 0;
  uint32_t blueMask = 0;
  uint32_t alphaMask = 0;
};

// From the legacy pixel format (FourCC codes, D3D format numbers and
// channel masks). Unsupported when the reader does not know the layout.
DdsFormat identifyLegacyFormat(const LegacyPixelFormat& pixelFormat);

// From the DXGI format number of the extended header.
DdsFormat identifyDxgiFormat(uint32_t dxgiFormat);

// Bytes of a width x height image in this format: whole 4x4 blocks for the
// block formats, packed rows of whole pixels otherwise. 0 when unsupported.
uint64_t ddsImageBytes(const DdsFormat& format, uint32_t width, uint32_t height);

// Bytes of one 4x4 block (8 or 16), or 0 for uncompressed formats.
uint32_t ddsBlockBytes(DdsEncoding encoding);

// The kind of bitmap the format decodes into.
PixelOutput ddsOutput(const DdsFormat& format);

// Largest bitmap the reader allocates (a 32768 x 32768 image of 32 bits).
inline constexpr uint64_t kMaxDecodedBytes = uint64_t{4} << 30;

// Bytes of the bitmap a width x height image of this format decodes into.
uint64_t ddsDecodedBytes(const DdsFormat& format, uint32_t width, uint32_t height);
