#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "formats/dds/dds_format.h"

// The fixed part of a DDS file: the 4-byte magic, the 124-byte surface
// description and, when the pixel format's FourCC is "DX10", a 20-byte
// extension. All fields are little-endian 32-bit words.
//
// The program reads this itself before any decoder sees the file, so a file
// whose header lies about its size or layout never reaches a decoder.

inline constexpr uint32_t kDdsMagic = 0x20534444;         // "DDS "
inline constexpr size_t kDdsHeaderBytes = 128;            // magic + surface description
inline constexpr size_t kDdsDx10HeaderBytes = 20;         // extension after "DX10"
inline constexpr uint32_t kDdsSurfaceDescriptionSize = 124;
inline constexpr uint32_t kDdsPixelFormatSize = 32;
inline constexpr uint32_t kDdsMaxDimension = 32768;
inline constexpr size_t kDdsPaletteBytes = 1024;          // 256 entries of R, G, B, A

// Header flags (dwFlags).
inline constexpr uint32_t kDdsFlagPitch = 0x8;
inline constexpr uint32_t kDdsFlagMipMapCount = 0x20000;
inline constexpr uint32_t kDdsFlagLinearSize = 0x80000;

// Pixel-format flags.
inline constexpr uint32_t kDdsPixelAlphaPixels = 0x1;
inline constexpr uint32_t kDdsPixelAlpha = 0x2;
inline constexpr uint32_t kDdsPixelFourCc = 0x4;
inline constexpr uint32_t kDdsPixelPaletteIndexed8 = 0x20;
inline constexpr uint32_t kDdsPixelRgb = 0x40;
inline constexpr uint32_t kDdsPixelLuminance = 0x20000;

// Surface flags (dwCaps2) and the extension's fields.
inline constexpr uint32_t kDdsCaps2CubeMap = 0x200;
inline constexpr uint32_t kDdsCaps2CubeFacePositiveX = 0x400;  // then -X, +Y, -Y, +Z, -Z: one bit each
inline constexpr uint32_t kDdsCaps2CubeAllFaces = 0xFC00;
inline constexpr uint32_t kDdsCaps2Volume = 0x200000;
inline constexpr uint32_t kDdsDimensionTexture1d = 2;
inline constexpr uint32_t kDdsDimensionTexture2d = 3;
inline constexpr uint32_t kDdsDimensionTexture3d = 4;
inline constexpr uint32_t kDdsMiscTextureCube = 0x4;
inline constexpr uint32_t kDdsAlphaModeMask = 0x7;  // in miscFlags2
inline constexpr uint32_t kDdsAlphaModePremultiplied = 2;
inline constexpr uint32_t kDdsAlphaModeCustom = 4;  // the highest defined mode

inline constexpr uint32_t kFourCcDxt1 = makeFourCc('D', 'X', 'T', '1');
inline constexpr uint32_t kFourCcDxt2 = makeFourCc('D', 'X', 'T', '2');
inline constexpr uint32_t kFourCcDxt3 = makeFourCc('D', 'X', 'T', '3');
inline constexpr uint32_t kFourCcDxt4 = makeFourCc('D', 'X', 'T', '4');
inline constexpr uint32_t kFourCcDxt5 = makeFourCc('D', 'X', 'T', '5');
inline constexpr uint32_t kFourCcAti1 = makeFourCc('A', 'T', 'I', '1');
inline constexpr uint32_t kFourCcAti2 = makeFourCc('A', 'T', 'I', '2');
inline constexpr uint32_t kFourCcDx10 = makeFourCc('D', 'X', '1', '0');

struct DdsPixelFormat {
  uint32_t size = 0;  // must be 32
  uint32_t flags = 0;
  uint32_t fourCc = 0;
  uint32_t rgbBitCount = 0;
  uint32_t redMask = 0;
  uint32_t greenMask = 0;
  uint32_t blueMask = 0;
  uint32_t alphaMask = 0;
};

struct DdsDx10Header {
  uint32_t dxgiFormat = 0;
  uint32_t resourceDimension = 0;
  uint32_t miscFlag = 0;
  uint32_t arraySize = 0;
  uint32_t miscFlags2 = 0;
};

struct DdsHeader {
  uint32_t magic = 0;
  uint32_t size = 0;  // must be 124
  uint32_t flags = 0;
  uint32_t height = 0;
  uint32_t width = 0;
  uint32_t pitchOrLinearSize = 0;
  uint32_t depth = 0;
  uint32_t mipMapCount = 0;
  DdsPixelFormat pixelFormat;
  uint32_t caps = 0;
  uint32_t caps2 = 0;
  uint32_t caps3 = 0;
  uint32_t caps4 = 0;
  bool hasDx10 = false;
  DdsDx10Header dx10;
  // Offset of the top level's first byte: 128, 148 with the extension, or
  // 128 + 1024 for a palette file.
  size_t dataOffset = kDdsHeaderBytes;
};

// How the top level's pixels are stored.
enum class DdsLayoutKind {
  Unknown,
  Block,   // 4x4 blocks of blockBytes each (DXT1..5, ATI1/2, BC4..7)
  Packed,  // whole pixels of bitsPerPixel
};

struct DdsLayout {
  DdsLayoutKind kind = DdsLayoutKind::Unknown;
  uint32_t blockBytes = 0;    // Block: 8 or 16
  uint32_t bitsPerPixel = 0;  // Packed: 8 .. 128
  uint32_t fourCc = 0;        // layouts named by a FourCC; 0 otherwise
  uint32_t dxgiFormat = 0;    // layouts named by the DX10 extension
  DdsFormat format;           // what the decoder makes of it
};

enum class DdsCheck {
  Ok,
  TooShort,            // fewer than 128 bytes, or the extension is cut off
  BadMagic,            // not "DDS "
  BadHeaderSize,       // surface description size is not 124
  BadPixelFormatSize,  // pixel format size is not 32
  BadDimensions,       // width or height outside 1..32768
  BadMipMapCount,      // more mipmap levels than the size allows
  BadExtension,        // DX10 dimension, array size or flags out of range
  UnsupportedLayout,   // a layout the decoder cannot read
  TooLarge,            // the decoded image would be larger than the reader allows
  Truncated,           // shorter than the top level's data
};

// Short English text for debug output and tests ("truncated").
std::string_view ddsCheckText(DdsCheck check);

// Parses the header fields of bytes[0..size). Never reads past size. Returns
// false when fewer than 128 bytes (or, with "DX10", 148 bytes) are present;
// the fields read so far are still filled.
bool parseDdsHeader(const uint8_t* bytes, size_t size, DdsHeader* header);

// The storage of the top level, from the pixel format (or the DX10 format).
// A DX10 file whose alpha mode is premultiplied gets a premultiplied format.
DdsLayout describeDdsLayout(const DdsHeader& header);

// Bytes of one row of a packed layout: width x bytes per pixel; 0 for block
// layouts. The header's pitch field is not read: writers fill it unreliably
// (too small, 0, or the whole image's size), and readers agree on packed rows.
uint64_t ddsRowPitch(const DdsHeader& header, const DdsLayout& layout);

// Bytes of the top level as the decoder reads them, or 0 when the layout is
// unknown.
uint64_t ddsTopLevelDataSize(const DdsHeader& header, const DdsLayout& layout);

// Levels of a full mipmap chain down to 1 x 1 from a largest dimension of
// `largest` (1 for 0 or 1).
uint32_t fullMipChainLength(uint32_t largest);

// True for the layouts the decoder reads (every format of identifyDxgiFormat
// and identifyLegacyFormat).
bool isDecodableDdsLayout(const DdsHeader& header, const DdsLayout& layout);

// The whole check before decoding: bytes hold at least the start of the file
// (148 bytes suffice), fileSize is the length of the whole file. Every size
// is checked against fileSize, and the size of the decoded image against
// kMaxDecodedBytes, before anything is read or allocated.
DdsCheck checkDdsHeader(const uint8_t* bytes, size_t size, uint64_t fileSize,
                        DdsHeader* header = nullptr);

// Reads the start of the file at path (UTF-8) and checks it. A folder, a
// missing file or an unreadable one gives TooShort.
DdsCheck checkDdsFile(const std::string& path, DdsHeader* header = nullptr);
