#pragma once

#include <cstdint>
#include <string>

// Assembles DDS files byte by byte for the reader's tests: the header fields
// are written exactly as given, so tests can also build broken files.

struct RawDdsHeader {
  uint32_t magic = 0x20534444;  // "DDS "
  uint32_t size = 124;
  uint32_t flags = 0x1 | 0x2 | 0x4 | 0x1000;  // caps, height, width, pixel format
  uint32_t height = 4;
  uint32_t width = 4;
  uint32_t pitchOrLinearSize = 0;
  uint32_t depth = 0;
  uint32_t mipMapCount = 0;
  uint32_t pixelFormatSize = 32;
  uint32_t pixelFlags = 0;
  uint32_t fourCc = 0;
  uint32_t bitCount = 0;
  uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  uint32_t caps = 0x1000;
  uint32_t caps2 = 0;
  // Written after the header when fourCc is "DX10".
  uint32_t dxgiFormat = 0;
  uint32_t resourceDimension = 3;  // 2D texture
  uint32_t miscFlag = 0;
  uint32_t arraySize = 1;
  uint32_t miscFlags2 = 0;
};

inline constexpr uint32_t rawFourCc(const char (&code)[5]) {
  return static_cast<uint32_t>(static_cast<uint8_t>(code[0])) |
         static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(code[3])) << 24;
}

// Header fields for a FourCC file (DXT1, ATI2, or a Direct3D format number).
RawDdsHeader fourCcHeader(uint32_t width, uint32_t height, uint32_t fourCc);

// Header fields for a file with the DX10 extension and a DXGI format.
RawDdsHeader dxgiHeader(uint32_t width, uint32_t height, uint32_t dxgiFormat);

// Header fields for an uncompressed legacy file with masks.
RawDdsHeader maskHeader(uint32_t width, uint32_t height, uint32_t pixelFlags, uint32_t bitCount,
                        uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha);

// The file: header (and extension) followed by payload.
std::string buildRawDds(const RawDdsHeader& header, const std::string& payload);

// Writes a file in binary; true on success.
bool writeTestFile(const std::string& path, const std::string& bytes);
