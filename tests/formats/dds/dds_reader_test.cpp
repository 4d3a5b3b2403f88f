#include "formats/dds/dds_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "formats/dds/raw_dds.h"
#include "support/temp_dir.h"

namespace {

std::string le16(std::initializer_list<uint16_t> values) {
  std::string out;
  for (uint16_t v : values) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
  }
  return out;
}

std::string le32(std::initializer_list<uint32_t> values) {
  std::string out;
  for (uint32_t v : values) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  }
  return out;
}

std::string floats(std::initializer_list<float> values) {
  std::string out;
  for (float v : values) {
    char bytes[4];
    std::memcpy(bytes, &v, 4);
    out.append(bytes, 4);
  }
  return out;
}

std::string bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

Bitmap read(const std::string& file) {
  return readDdsImage(reinterpret_cast<const uint8_t*>(file.data()), file.size());
}

// The pixel at (x, y), top-left origin, as red, green, blue, alpha in the
// bitmap's own units; alpha is -1 when the bitmap has none.
std::vector<double> pixelAt(FIBITMAP* bitmap, unsigned x, unsigned y) {
  const BYTE* row = FreeImage_GetScanLine(bitmap, static_cast<int>(FreeImage_GetHeight(bitmap) - 1 - y));
  switch (FreeImage_GetImageType(bitmap)) {
    case FIT_RGB16: {
      const FIRGB16& p = reinterpret_cast<const FIRGB16*>(row)[x];
      return {double(p.red), double(p.green), double(p.blue), -1};
    }
    case FIT_RGBA16: {
      const FIRGBA16& p = reinterpret_cast<const FIRGBA16*>(row)[x];
      return {double(p.red), double(p.green), double(p.blue), double(p.alpha)};
    }
    case FIT_RGBF: {
      const FIRGBF& p = reinterpret_cast<const FIRGBF*>(row)[x];
      return {p.red, p.green, p.blue, -1};
    }
    case FIT_RGBAF: {
      const FIRGBAF& p = reinterpret_cast<const FIRGBAF*>(row)[x];
      return {p.red, p.green, p.blue, p.alpha};
    }
    default:
      break;
  }
  const unsigned bpp = FreeImage_GetBPP(bitmap);
  if (bpp == 8) return {double(row[x]), double(row[x]), double(row[x]), -1};
  const BYTE* p = row + x * (bpp / 8);
  return {double(p[FI_RGBA_RED]), double(p[FI_RGBA_GREEN]), double(p[FI_RGBA_BLUE]),
          bpp == 32 ? double(p[FI_RGBA_ALPHA]) : -1};
}

constexpr uint32_t kRgb = 0x40, kAlphaPixels = 0x1, kAlpha = 0x2, kLuminance = 0x20000,
                   kBump = 0x80000, kPalette8 = 0x20;

// A palette whose entry 1 is (red 1, green 2, blue 3, alpha 4) and entry 255
// (10, 20, 30, 40); the others are 0.
std::string palette() {
  std::string entries(1024, '\0');
  entries.replace(4, 4, bytes({1, 2, 3, 4}));
  entries.replace(1020, 4, bytes({10, 20, 30, 40}));
  return entries;
}

struct LayoutCase {
  const char* name;
  RawDdsHeader header;
  std::string pixel;  // one pixel as stored
  FREE_IMAGE_TYPE type;
  unsigned bpp;
  std::vector<double> expected;  // red, green, blue, alpha (-1: no alpha)
};

}  // namespace

// One pixel of every uncompressed layout, with values worked out by hand from
// the layout definitions: n-bit channels widen as round(v * 255 / (2^n - 1)),
// signed ones show v as (v + 1) / 2, floats keep their value.
TEST(DdsReader, UncompressedLayoutsGiveTheDefinedValues) {
  const float kMinHalf = std::ldexp(1.0f, -24);
  const LayoutCase cases[] = {
      {"A8R8G8B8", maskHeader(1, 1, kRgb | kAlphaPixels, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000),
       bytes({0x10, 0x20, 0x30, 0x40}), FIT_BITMAP, 32, {0x30, 0x20, 0x10, 0x40}},
      {"X8R8G8B8", maskHeader(1, 1, kRgb, 32, 0xFF0000, 0xFF00, 0xFF, 0),
       bytes({0x10, 0x20, 0x30, 0x40}), FIT_BITMAP, 24, {0x30, 0x20, 0x10, -1}},
      {"A8B8G8R8", maskHeader(1, 1, kRgb | kAlphaPixels, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000),
       bytes({0x10, 0x20, 0x30, 0x40}), FIT_BITMAP, 32, {0x10, 0x20, 0x30, 0x40}},
      {"X8B8G8R8", maskHeader(1, 1, kRgb, 32, 0xFF, 0xFF00, 0xFF0000, 0),
       bytes({0x10, 0x20, 0x30, 0x40}), FIT_BITMAP, 24, {0x10, 0x20, 0x30, -1}},
      {"R8G8B8", maskHeader(1, 1, kRgb, 24, 0xFF0000, 0xFF00, 0xFF, 0), bytes({1, 2, 3}),
       FIT_BITMAP, 24, {3, 2, 1, -1}},
      {"R5G6B5", maskHeader(1, 1, kRgb, 16, 0xF800, 0x7E0, 0x1F, 0), le16({0x8410}), FIT_BITMAP,
       24, {132, 130, 132, -1}},
      {"A1R5G5B5", maskHeader(1, 1, kRgb | kAlphaPixels, 16, 0x7C00, 0x3E0, 0x1F, 0x8000),
       le16({0x801F}), FIT_BITMAP, 32, {0, 0, 255, 255}},
      {"A1R5G5B5 clear", maskHeader(1, 1, kRgb | kAlphaPixels, 16, 0x7C00, 0x3E0, 0x1F, 0x8000),
       le16({0x7C01}), FIT_BITMAP, 32, {255, 0, 8, 0}},
      {"X1R5G5B5", maskHeader(1, 1, kRgb, 16, 0x7C00, 0x3E0, 0x1F, 0), le16({0x83E0}), FIT_BITMAP,
       24, {0, 255, 0, -1}},
      {"A4R4G4B4", maskHeader(1, 1, kRgb | kAlphaPixels, 16, 0xF00, 0xF0, 0xF, 0xF000),
       le16({0x784C}), FIT_BITMAP, 32, {136, 68, 204, 119}},
      {"X4R4G4B4", maskHeader(1, 1, kRgb, 16, 0xF00, 0xF0, 0xF, 0), le16({0x784C}), FIT_BITMAP, 24,
       {136, 68, 204, -1}},
      {"A2R10G10B10",
       maskHeader(1, 1, kRgb | kAlphaPixels, 32, 0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000),
       le32({0x40000000u | 1023u << 20 | 512u << 10 | 1u}), FIT_BITMAP, 32, {255, 128, 0, 85}},
      {"A2B10G10R10",
       maskHeader(1, 1, kRgb | kAlphaPixels, 32, 0x3FF, 0xFFC00, 0x3FF00000, 0xC0000000),
       le32({0x80000000u | 1023u << 20 | 512u << 10 | 1u}), FIT_BITMAP, 32, {0, 128, 255, 170}},
      {"G16R16", maskHeader(1, 1, kRgb, 32, 0xFFFF, 0xFFFF0000, 0, 0), le16({0xFFFF, 0x8000}),
       FIT_RGB16, 48, {65535, 32768, 0, -1}},
      {"L8", maskHeader(1, 1, kLuminance, 8, 0xFF, 0, 0, 0), bytes({0x80}), FIT_BITMAP, 8,
       {128, 128, 128, -1}},
      // Only the mask bits inside the pixel count.
      {"L8 with a 16-bit mask", maskHeader(1, 1, kLuminance, 8, 0xFFFF, 0, 0, 0), bytes({0x80}),
       FIT_BITMAP, 8, {128, 128, 128, -1}},
      // 256 entries of red, green, blue, alpha, then one index per pixel;
      // alpha bytes that are neither all 0 nor all 255 are alpha, flag or not.
      {"P8", maskHeader(1, 1, kPalette8, 8, 0, 0, 0, 0), palette() + bytes({255}), FIT_BITMAP, 32,
       {10, 20, 30, 40}},
      {"P8 with alpha", maskHeader(1, 1, kPalette8 | kAlphaPixels, 8, 0, 0, 0, 0),
       palette() + bytes({1}), FIT_BITMAP, 32, {1, 2, 3, 4}},
      {"A8L8", maskHeader(1, 1, kLuminance | kAlphaPixels, 16, 0xFF, 0, 0, 0xFF00),
       bytes({0x40, 0xC0}), FIT_BITMAP, 32, {64, 64, 64, 192}},
      {"A4L4", maskHeader(1, 1, kLuminance | kAlphaPixels, 8, 0x0F, 0, 0, 0xF0), bytes({0x3C}),
       FIT_BITMAP, 32, {204, 204, 204, 51}},
      {"L16", maskHeader(1, 1, kLuminance, 16, 0xFFFF, 0, 0, 0), le16({0x1234}), FIT_RGB16, 48,
       {0x1234, 0x1234, 0x1234, -1}},
      {"A8", maskHeader(1, 1, kAlpha, 8, 0, 0, 0, 0xFF), bytes({0x7F}), FIT_BITMAP, 32,
       {0, 0, 0, 127}},
      {"V8U8", maskHeader(1, 1, kBump, 16, 0xFF, 0xFF00, 0, 0), bytes({0x7F, 0x81}), FIT_BITMAP,
       24, {255, 0, 0, -1}},
      {"A16B16G16R16 (36)", fourCcHeader(1, 1, 36), le16({0, 0x8000, 0xFFFF, 0x1234}), FIT_RGBA16,
       64, {0, 0x8000, 0xFFFF, 0x1234}},
      {"Q16W16V16U16 (110)", fourCcHeader(1, 1, 110), le16({0x7FFF, 0x8001, 0x8000, 0}),
       FIT_RGBA16, 64, {65535, 0, 0, 32768}},
      {"R16F (111)", fourCcHeader(1, 1, 111), le16({0x3C00}), FIT_RGBF, 96, {1, 1, 1, -1}},
      {"G16R16F (112)", fourCcHeader(1, 1, 112), le16({0x3800, 0xC000}), FIT_RGBF, 96,
       {0.5, -2, 0, -1}},
      {"A16B16G16R16F (113)", fourCcHeader(1, 1, 113), le16({0x0001, 0x7BFF, 0x8000, 0x3C00}),
       FIT_RGBAF, 128, {kMinHalf, 65504, -0.0, 1}},
      {"R32F (114)", fourCcHeader(1, 1, 114), floats({3.5f}), FIT_RGBF, 96, {3.5, 3.5, 3.5, -1}},
      {"G32R32F (115)", fourCcHeader(1, 1, 115), floats({-1.25f, 7}), FIT_RGBF, 96,
       {-1.25, 7, 0, -1}},
      {"A32B32G32R32F (116)", fourCcHeader(1, 1, 116), floats({1, 2, 3, 0.25f}), FIT_RGBAF, 128,
       {1, 2, 3, 0.25}},
      {"R32G32B32A32_FLOAT", dxgiHeader(1, 1, 2), floats({1, 2, 3, 0.25f}), FIT_RGBAF, 128,
       {1, 2, 3, 0.25}},
      {"R32G32_FLOAT", dxgiHeader(1, 1, 16), floats({-1.25f, 7}), FIT_RGBF, 96, {-1.25, 7, 0, -1}},
      {"R32G32B32_FLOAT", dxgiHeader(1, 1, 6), floats({1, 2, 3}), FIT_RGBF, 96, {1, 2, 3, -1}},
      {"R16G16B16A16_FLOAT", dxgiHeader(1, 1, 10), le16({0x3C00, 0x4000, 0xBC00, 0x3400}),
       FIT_RGBAF, 128, {1, 2, -1, 0.25}},
      {"R16G16B16A16_UNORM", dxgiHeader(1, 1, 11), le16({1, 2, 3, 4}), FIT_RGBA16, 64,
       {1, 2, 3, 4}},
      {"R16G16B16A16_SNORM", dxgiHeader(1, 1, 13), le16({0x7FFF, 0x8001, 0x8000, 0}), FIT_RGBA16,
       64, {65535, 0, 0, 32768}},
      {"R10G10B10A2_UNORM", dxgiHeader(1, 1, 24), le32({1023u | 512u << 10 | 3u << 30}),
       FIT_BITMAP, 32, {255, 128, 0, 255}},
      {"R11G11B10_FLOAT", dxgiHeader(1, 1, 26), le32({0x3C0u | 0x380u << 11 | 0x200u << 22}),
       FIT_RGBF, 96, {1, 0.5, 2, -1}},
      {"R8G8B8A8_UNORM", dxgiHeader(1, 1, 28), bytes({1, 2, 3, 4}), FIT_BITMAP, 32, {1, 2, 3, 4}},
      {"R8G8B8A8_UNORM_SRGB keeps the stored values", dxgiHeader(1, 1, 29), bytes({1, 2, 3, 4}),
       FIT_BITMAP, 32, {1, 2, 3, 4}},
      {"R8G8B8A8_SNORM", dxgiHeader(1, 1, 31), bytes({0x7F, 0x81, 0x00, 0x80}), FIT_BITMAP, 32,
       {255, 0, 128, 0}},
      {"R16G16_FLOAT", dxgiHeader(1, 1, 34), le16({0x3C00, 0x4000}), FIT_RGBF, 96, {1, 2, 0, -1}},
      {"R16G16_UNORM", dxgiHeader(1, 1, 35), le16({7, 8}), FIT_RGB16, 48, {7, 8, 0, -1}},
      {"R16G16_SNORM", dxgiHeader(1, 1, 37), le16({0x7FFF, 0}), FIT_RGB16, 48,
       {65535, 32768, 0, -1}},
      {"R32_FLOAT", dxgiHeader(1, 1, 41), floats({0.75f}), FIT_RGBF, 96, {0.75, 0.75, 0.75, -1}},
      {"R8G8_UNORM", dxgiHeader(1, 1, 49), bytes({9, 10}), FIT_BITMAP, 24, {9, 10, 0, -1}},
      {"R8G8_SNORM", dxgiHeader(1, 1, 51), bytes({0x7F, 0x00}), FIT_BITMAP, 24, {255, 128, 0, -1}},
      {"R16_FLOAT", dxgiHeader(1, 1, 54), le16({0x3800}), FIT_RGBF, 96, {0.5, 0.5, 0.5, -1}},
      {"R16_UNORM", dxgiHeader(1, 1, 56), le16({0xABCD}), FIT_RGB16, 48,
       {0xABCD, 0xABCD, 0xABCD, -1}},
      {"R16_SNORM", dxgiHeader(1, 1, 58), le16({0x8000}), FIT_RGB16, 48, {0, 0, 0, -1}},
      {"R8_UNORM", dxgiHeader(1, 1, 61), bytes({200}), FIT_BITMAP, 8, {200, 200, 200, -1}},
      {"R8_SNORM", dxgiHeader(1, 1, 63), bytes({0x81}), FIT_BITMAP, 8, {0, 0, 0, -1}},
      {"A8_UNORM", dxgiHeader(1, 1, 65), bytes({33}), FIT_BITMAP, 32, {0, 0, 0, 33}},
      {"R9G9B9E5_SHAREDEXP", dxgiHeader(1, 1, 67), le32({256u | 128u << 9 | 1u << 18 | 16u << 27}),
       FIT_RGBF, 96, {1, 0.5, 1.0 / 256, -1}},
      {"B5G6R5_UNORM", dxgiHeader(1, 1, 85), le16({0xF800 | 0x1F}), FIT_BITMAP, 24,
       {255, 0, 255, -1}},
      {"B5G5R5A1_UNORM", dxgiHeader(1, 1, 86), le16({0x8000 | 0x3E0}), FIT_BITMAP, 32,
       {0, 255, 0, 255}},
      {"B8G8R8A8_UNORM", dxgiHeader(1, 1, 87), bytes({1, 2, 3, 4}), FIT_BITMAP, 32, {3, 2, 1, 4}},
      {"B8G8R8X8_UNORM", dxgiHeader(1, 1, 88), bytes({1, 2, 3, 4}), FIT_BITMAP, 24, {3, 2, 1, -1}},
      {"B8G8R8A8_UNORM_SRGB", dxgiHeader(1, 1, 91), bytes({1, 2, 3, 4}), FIT_BITMAP, 32,
       {3, 2, 1, 4}},
      {"B8G8R8X8_UNORM_SRGB", dxgiHeader(1, 1, 93), bytes({1, 2, 3, 4}), FIT_BITMAP, 24,
       {3, 2, 1, -1}},
      {"B4G4R4A4_UNORM", dxgiHeader(1, 1, 115), le16({0x1234}), FIT_BITMAP, 32,
       {0x22, 0x33, 0x44, 0x11}},
  };
  for (const LayoutCase& c : cases) {
    Bitmap bitmap = read(buildRawDds(c.header, c.pixel));
    ASSERT_TRUE(bitmap) << c.name;
    EXPECT_EQ(FreeImage_GetImageType(bitmap.get()), c.type) << c.name;
    EXPECT_EQ(FreeImage_GetBPP(bitmap.get()), c.bpp) << c.name;
    const std::vector<double> got = pixelAt(bitmap.get(), 0, 0);
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(got[i], c.expected[i]) << c.name << " channel " << i;
    }
    // One byte short of the pixel: no image.
    const std::string shortFile = buildRawDds(c.header, c.pixel.substr(0, c.pixel.size() - 1));
    EXPECT_FALSE(read(shortFile)) << c.name << " short";
  }
}

namespace {

// A BC1 block of one solid 5:6:5 colour (all indices 0).
std::string solidBc1(uint16_t color) { return le16({color, color}) + std::string(4, '\0'); }

}  // namespace

// Blocks are laid out left to right, top to bottom; edge blocks are cropped
// and the bitmap holds the bottom row first.
TEST(DdsReader, EdgeBlocksAreCroppedAndRowsKeepTheirOrder) {
  const uint16_t colors[6] = {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000, 0xFFE0};
  for (const auto& [width, height] : {std::pair{9u, 6u}, std::pair{12u, 5u}, std::pair{10u, 8u},
                                      std::pair{1u, 1u}, std::pair{3u, 7u}}) {
    const uint32_t blocksWide = (width + 3) / 4, blocksHigh = (height + 3) / 4;
    std::string payload;
    for (uint32_t i = 0; i < blocksWide * blocksHigh; ++i) payload += solidBc1(colors[i % 6]);
    Bitmap bitmap = read(buildRawDds(fourCcHeader(width, height, rawFourCc("DXT1")), payload));
    ASSERT_TRUE(bitmap) << width << "x" << height;
    ASSERT_EQ(FreeImage_GetWidth(bitmap.get()), width);
    ASSERT_EQ(FreeImage_GetHeight(bitmap.get()), height);
    for (uint32_t y = 0; y < height; ++y) {
      for (uint32_t x = 0; x < width; ++x) {
        const uint16_t c = colors[((y / 4) * blocksWide + x / 4) % 6];
        const std::vector<double> expected = {(c >> 11) ? 255.0 : 0.0, ((c >> 5) & 63) ? 255.0 : 0.0,
                                              (c & 31) ? 255.0 : 0.0, 255.0};
        ASSERT_EQ(pixelAt(bitmap.get(), x, y), expected) << width << "x" << height << " at " << x << "," << y;
      }
    }
    // One byte of the last block missing: no image.
    const std::string cut = buildRawDds(fourCcHeader(width, height, rawFourCc("DXT1")),
                                        payload.substr(0, payload.size() - 1));
    EXPECT_FALSE(read(cut)) << width << "x" << height << " cut";
  }
}

TEST(DdsReader, BitmapKindPerBlockFormat) {
  struct Case {
    const char* name;
    RawDdsHeader header;
    uint32_t blockBytes;
    FREE_IMAGE_TYPE type;
    unsigned bpp;
  } cases[] = {
      {"DXT1", fourCcHeader(4, 4, rawFourCc("DXT1")), 8, FIT_BITMAP, 32},
      {"DXT3", fourCcHeader(4, 4, rawFourCc("DXT3")), 16, FIT_BITMAP, 32},
      {"DXT5", fourCcHeader(4, 4, rawFourCc("DXT5")), 16, FIT_BITMAP, 32},
      {"ATI1", fourCcHeader(4, 4, rawFourCc("ATI1")), 8, FIT_BITMAP, 8},
      {"BC4S", fourCcHeader(4, 4, rawFourCc("BC4S")), 8, FIT_BITMAP, 8},
      {"ATI2", fourCcHeader(4, 4, rawFourCc("ATI2")), 16, FIT_BITMAP, 24},
      {"BC5S", fourCcHeader(4, 4, rawFourCc("BC5S")), 16, FIT_BITMAP, 24},
      {"BC6H_UF16", dxgiHeader(4, 4, 95), 16, FIT_RGBF, 96},
      {"BC6H_SF16", dxgiHeader(4, 4, 96), 16, FIT_RGBF, 96},
      {"BC7_UNORM", dxgiHeader(4, 4, 98), 16, FIT_BITMAP, 32},
      {"BC7_UNORM_SRGB", dxgiHeader(4, 4, 99), 16, FIT_BITMAP, 32},
      {"BC1_UNORM", dxgiHeader(4, 4, 71), 8, FIT_BITMAP, 32},
      {"BC5_SNORM", dxgiHeader(4, 4, 84), 16, FIT_BITMAP, 24},
  };
  for (const Case& c : cases) {
    Bitmap bitmap = read(buildRawDds(c.header, std::string(c.blockBytes, '\x11')));
    ASSERT_TRUE(bitmap) << c.name;
    EXPECT_EQ(FreeImage_GetImageType(bitmap.get()), c.type) << c.name;
    EXPECT_EQ(FreeImage_GetBPP(bitmap.get()), c.bpp) << c.name;
    if (c.bpp == 8) {
      EXPECT_EQ(FreeImage_GetColorType(bitmap.get()), FIC_MINISBLACK) << c.name;
    }
  }
}

TEST(DdsReader, PremultipliedColourComesOutStraight) {
  // DXT4: alpha 128 everywhere (both endpoints 128), colour 0x8410 (132, 130, 132).
  const std::string block = bytes({128, 128, 0, 0, 0, 0, 0, 0}) + solidBc1(0x8410);
  Bitmap dxt4 = read(buildRawDds(fourCcHeader(4, 4, rawFourCc("DXT4")), block));
  Bitmap dxt5 = read(buildRawDds(fourCcHeader(4, 4, rawFourCc("DXT5")), block));
  ASSERT_TRUE(dxt4 && dxt5);
  EXPECT_EQ(pixelAt(dxt5.get(), 2, 2), (std::vector<double>{132, 130, 132, 128}));
  // round(132 * 255 / 128) = 263 is capped at 255; round(130 * 255 / 128) = 259 too.
  EXPECT_EQ(pixelAt(dxt4.get(), 2, 2), (std::vector<double>{255, 255, 255, 128}));

  RawDdsHeader rgba = dxgiHeader(2, 1, 28);
  rgba.miscFlags2 = 2;  // premultiplied alpha
  Bitmap straight = read(buildRawDds(rgba, bytes({50, 100, 0, 200, 9, 9, 9, 0})));
  ASSERT_TRUE(straight);
  EXPECT_EQ(pixelAt(straight.get(), 0, 0), (std::vector<double>{64, 128, 0, 200}));
  EXPECT_EQ(pixelAt(straight.get(), 1, 0), (std::vector<double>{9, 9, 9, 0}))
      << "a transparent pixel keeps its colour";
}

TEST(DdsReader, FirstSurfaceOfArraysCubesAndVolumes) {
  // Two 4x4 BC1 surfaces: the first red, the second blue. Only the first is read.
  const std::string payload = solidBc1(0xF800) + solidBc1(0x001F);
  RawDdsHeader cube = fourCcHeader(4, 4, rawFourCc("DXT1"));
  cube.caps2 = 0x200 | 0xFC00;
  RawDdsHeader array = dxgiHeader(4, 4, 71);
  array.arraySize = 2;
  RawDdsHeader volume = fourCcHeader(4, 4, rawFourCc("DXT1"));
  volume.caps2 = 0x200000;
  volume.depth = 2;
  for (const RawDdsHeader& header : {cube, array, volume}) {
    Bitmap bitmap = read(buildRawDds(header, payload));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(pixelAt(bitmap.get(), 3, 3), (std::vector<double>{255, 0, 0, 255}));
  }
}

// Writers fill the pitch field unreliably: rows are width x bytes per pixel
// whatever it says, and a file is short only when pixel data is missing.
TEST(DdsReader, ThePitchFieldIsNotRead) {
  const std::string pixels = bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
  for (uint32_t pitch : {0u, 4u, 8u, 16u, 1000u}) {
    RawDdsHeader header = dxgiHeader(2, 2, 28);
    header.flags |= 0x8;
    header.pitchOrLinearSize = pitch;
    Bitmap bitmap = read(buildRawDds(header, pixels));
    ASSERT_TRUE(bitmap) << pitch;
    EXPECT_EQ(pixelAt(bitmap.get(), 0, 1), (std::vector<double>{9, 10, 11, 12})) << pitch;
    EXPECT_EQ(pixelAt(bitmap.get(), 1, 1), (std::vector<double>{13, 14, 15, 16})) << pitch;
    EXPECT_FALSE(read(buildRawDds(header, pixels.substr(0, 15)))) << pitch;
  }
}

TEST(DdsReader, FilesOnDiskAndUnreadableOnes) {
  TempDir dir;
  const std::string good = dir.path() + "good.dds";
  ASSERT_TRUE(writeTestFile(good, buildRawDds(fourCcHeader(4, 4, rawFourCc("DXT1")), solidBc1(0x07E0))));
  Bitmap bitmap = readDdsFile(good);
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(pixelAt(bitmap.get(), 0, 0), (std::vector<double>{0, 255, 0, 255}));
  const std::string noise = dir.path() + "noise.dds";
  ASSERT_TRUE(writeTestFile(noise, std::string(4096, '\x5A')));
  EXPECT_FALSE(readDdsFile(noise));
  EXPECT_FALSE(readDdsFile(dir.path() + "missing.dds"));
}

// A refusal says what the reader found; a file that decodes clears it.
TEST(DdsReader, RefusalsSayWhatWasFound) {
  TempDir dir;
  const struct {
    const char* name;
    std::string file;
    std::string reason;
  } cases[] = {
      {"unknown FourCC", buildRawDds(fourCcHeader(4, 4, rawFourCc("XYZW")), std::string(16, '\0')),
       "unsupported pixel format: FourCC 'XYZW'"},
      {"cut short", buildRawDds(fourCcHeader(64, 64, rawFourCc("DXT5")), std::string(172, '\0')),
       "file too short: 300 of 4224 bytes"},
      {"RGB masks outside the pixel",
       buildRawDds(maskHeader(1, 1, kRgb, 8, 0xFF000000, 0xFF0000, 0xFF00, 0), bytes({1})),
       "unsupported pixel format: flags 0x40, 8 bits, masks 0xFF000000 0xFF0000 0xFF00 0x0"},
      {"noise", std::string(4096, '\x5A'), "not a DDS file: no \"DDS \" at its start"},
      {"good", buildRawDds(fourCcHeader(4, 4, rawFourCc("DXT1")), solidBc1(0x07E0)), ""},
  };
  for (const auto& c : cases) {
    const std::string path = dir.path() + "t.dds";
    ASSERT_TRUE(writeTestFile(path, c.file)) << c.name;
    std::string refusal = "left over";
    Bitmap bitmap = readDdsFileSurface(path, {}, nullptr, &refusal);
    EXPECT_EQ(bitmap != nullptr, c.reason.empty()) << c.name;
    EXPECT_EQ(refusal, c.reason) << c.name;
  }
  std::string refusal;
  EXPECT_FALSE(readDdsFileSurface(dir.path() + "missing.dds", {}, nullptr, &refusal));
  EXPECT_EQ(refusal, "the file cannot be read");
}
