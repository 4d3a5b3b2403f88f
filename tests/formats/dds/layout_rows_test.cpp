#include "formats/dds/layout_rows.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "formats/dds/dds_format.h"

namespace {

constexpr uint32_t kRgb = 0x40, kAlphaPixels = 0x1, kAlphaOnly = 0x2, kLuminance = 0x20000,
                   kBump = 0x80000, kFourCc = 0x4;

struct RowCase {
  std::string name;
  DdsFormat format;
  bool byRows;  // the layout must take a row path, not the mask decoder
};

DdsFormat masks(uint32_t flags, uint32_t bitCount, uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
  return identifyLegacyFormat(LegacyPixelFormat{flags, 0, bitCount, r, g, b, a});
}

DdsFormat d3d(uint32_t number) { return identifyLegacyFormat(LegacyPixelFormat{kFourCc, number}); }

std::vector<RowCase> rowCases() {
  std::vector<RowCase> cases = {
      {"A8R8G8B8", masks(kRgb | kAlphaPixels, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000), true},
      {"X8R8G8B8", masks(kRgb, 32, 0xFF0000, 0xFF00, 0xFF, 0), true},
      {"A8B8G8R8", masks(kRgb | kAlphaPixels, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000), true},
      {"X8B8G8R8", masks(kRgb, 32, 0xFF, 0xFF00, 0xFF0000, 0), true},
      {"R8G8B8", masks(kRgb, 24, 0xFF0000, 0xFF00, 0xFF, 0), true},
      {"B8G8R8", masks(kRgb, 24, 0xFF, 0xFF00, 0xFF0000, 0), true},
      {"L8", masks(kLuminance, 8, 0xFF, 0, 0, 0), true},
      {"A8L8", masks(kLuminance | kAlphaPixels, 16, 0xFF, 0, 0, 0xFF00), true},
      {"A8", masks(kAlphaOnly, 8, 0, 0, 0, 0xFF), true},
      {"G8R8", masks(kRgb, 16, 0xFF, 0xFF00, 0, 0), true},
      {"V8U8", masks(kBump, 16, 0xFF, 0xFF00, 0, 0), true},
      {"Q8W8V8U8", masks(kBump, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000), true},
      {"L16", masks(kLuminance, 16, 0xFFFF, 0, 0, 0), true},
      {"G16R16", masks(kRgb, 32, 0xFFFF, 0xFFFF0000, 0, 0), true},
      {"A16B16G16R16", d3d(36), true},
      {"Q16W16V16U16", d3d(110), true},
      {"R16F", d3d(111), true},
      {"G16R16F", d3d(112), true},
      {"A16B16G16R16F", d3d(113), true},
      {"R32F", d3d(114), true},
      {"G32R32F", d3d(115), true},
      {"A32B32G32R32F", d3d(116), true},
      // Odd layouts stay with the mask decoder.
      {"R5G6B5", masks(kRgb, 16, 0xF800, 0x7E0, 0x1F, 0), false},
      {"A4L4", masks(kLuminance | kAlphaPixels, 8, 0x0F, 0, 0, 0xF0), false},
      {"A2R10G10B10", masks(kRgb | kAlphaPixels, 32, 0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000), false},
      {"R8G8B8 off bytes", masks(kRgb, 32, 0xFF00000, 0xFF000, 0xFF0, 0), false},
  };
  // Every DXGI layout: the 8-bit, 16-bit and float ones by rows, packed and
  // shared-exponent ones by masks.
  const std::vector<uint32_t> dxgiByRows = {2,  6,  10, 11, 13, 16, 27, 28, 29, 31, 34, 35, 37, 41,
                                            49, 51, 54, 56, 58, 61, 63, 65, 87, 88, 90, 91, 92, 93};
  for (uint32_t number = 0; number < 192; ++number) {
    const DdsFormat format = identifyDxgiFormat(number);
    if (format.encoding != DdsEncoding::Uncompressed) continue;
    bool byRows = false;
    for (uint32_t n : dxgiByRows) byRows = byRows || n == number;
    cases.push_back({"DXGI " + std::to_string(number), format, byRows});
  }
  return cases;
}

}  // namespace

// The row paths against the mask decoder on random pixels (every byte value,
// NaN and infinite floats included): the bitmap bytes must be identical. In
// a large image the small packed layouts that decode to bytes take a table.
TEST(LayoutRows, RowPathsMatchTheMaskDecoderByteForByte) {
  constexpr uint32_t kWidth = 61;
  constexpr uint64_t kLargeImage = 1024 * 1024;
  std::mt19937 random(7);
  for (const RowCase& c : rowCases()) {
    ASSERT_EQ(c.format.encoding, DdsEncoding::Uncompressed) << c.name;
    const PixelLayout& layout = c.format.layout;
    const PixelOutput output = layout.output;
    const bool tabled = layout.bytesPerPixel <= 2 && (output == PixelOutput::Grey8 ||
                                                      output == PixelOutput::Rgb8 ||
                                                      output == PixelOutput::Rgba8);
    for (const uint64_t pixels : {uint64_t{0}, kLargeImage}) {
      const LayoutRowDecoder decoder(layout, pixels);
      EXPECT_EQ(decoder.byRows(), c.byRows || (pixels > 0 && tabled)) << c.name << ", " << pixels;
      for (int round = 0; round < 8; ++round) {
        std::vector<uint8_t> stored(kWidth * layout.bytesPerPixel);
        for (uint8_t& byte : stored) byte = static_cast<uint8_t>(random());
        const size_t outputBytes = size_t{kWidth} * outputBytesPerPixel(output);
        std::vector<uint8_t> reference(outputBytes, 0xA5), rows(outputBytes, 0x5A);
        decodeLayoutRow(layout, stored.data(), kWidth, reference.data());
        decoder.decode(stored.data(), kWidth, rows.data());
        ASSERT_EQ(rows, reference) << c.name << ", " << pixels << " pixels, round " << round;
      }
    }
  }
}
