// DDS variants through the whole conversion of one file: loaded by the
// reader, brought to the output depth (float sources clamped to 0..1 for
// integer depths) and saved as PNG, read back by ImageMagick.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "batch/file_conversion.h"
#include "formats/dds/raw_dds.h"
#include "pipeline/depth.h"
#include "pipeline/independent_reader.h"
#include "pipeline/pipeline_test_support.h"
#include "support/plan_support.h"
#include "support/temp_dir.h"

namespace {

std::string words16(std::initializer_list<uint16_t> values) {
  std::string out;
  for (uint16_t v : values) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
  }
  return out;
}

std::string repeat(const std::string& unit, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += unit;
  return out;
}

// Converts the file to PNG with default settings; the output read back, and
// the depth the file loaded with.
bool convertToPng(const TempDir& dir, const std::string& dds, DecodedImage* out, int* sourceBpp) {
  const std::string path = dir.path() + "in.dds";
  if (!writeTestFile(path, dds)) return false;
  ConversionSetup setup = makeSetup("png", path, dir.path());
  const bool converted = convertAndSaveFile(setup, {});
  takeLibraryMessages();
  *sourceBpp = setup.job.sourceBpp;
  return converted && decodeWithImageMagick(setup.job.outputFile, out);
}

}  // namespace

TEST(DdsConversion, Dxt5BlockWithSmallerFirstEndpointIsNotBlack) {
  // Colour endpoints blue then red, every index 3: (2 red + blue) / 3.
  const std::string block = std::string("\xFF\xFF\0\0\0\0\0\0", 8) + words16({0x001F, 0xF800}) +
                            std::string(4, '\xFF');
  TempDir dir;
  DecodedImage png;
  int sourceBpp = 0;
  ASSERT_TRUE(convertToPng(dir, buildRawDds(fourCcHeader(8, 4, rawFourCc("DXT5")), block + block), &png,
                           &sourceBpp));
  EXPECT_EQ(sourceBpp, 32);
  for (int x = 0; x < 8; ++x) {
    EXPECT_EQ(png.at(x, 2), (Rgba{170, 0, 85, 255})) << "x " << x;
  }
}

TEST(DdsConversion, EveryKindOfSourceReachesPng) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  auto floats = [](std::initializer_list<float> values) {
    std::string out;
    for (float v : values) out.append(reinterpret_cast<const char*>(&v), 4);
    return out;
  };
  struct Case {
    const char* name;
    std::string file;
    int sourceBpp;
    Rgba expected;
  } cases[] = {
      // Floats are clamped to 0..1 (NaN counts as 0) when PNG's 48 bits are chosen.
      {"R32G32B32A32 float out of range", buildRawDds(dxgiHeader(4, 4, 2), repeat(floats({-1, 0.5f, 2, 0.25f}), 16)),
       128, Rgba{0, 128, 255, 255}},
      {"R32G32B32 float NaN", buildRawDds(dxgiHeader(4, 4, 6), repeat(floats({nan, 1, 0.2f}), 16)), 96,
       Rgba{0, 255, 51, 255}},
      {"BC6H unsigned, mode 3 endpoints 0", buildRawDds(dxgiHeader(4, 4, 95), std::string(1, '\x03') + std::string(15, '\0')),
       96, Rgba{0, 0, 0, 255}},
      {"L16", buildRawDds(maskHeader(4, 4, 0x20000, 16, 0xFFFF, 0, 0, 0), repeat(words16({0x8000}), 16)), 48,
       Rgba{128, 128, 128, 255}},
      {"R16G16B16A16 UNORM", buildRawDds(dxgiHeader(4, 4, 11), repeat(words16({0xFFFF, 0, 0x8080, 0xFFFF}), 16)), 64,
       Rgba{255, 0, 128, 255}},
      {"BC4 unsigned", buildRawDds(fourCcHeader(4, 4, rawFourCc("ATI1")), std::string("\x80\x80", 2) + std::string(6, '\0')),
       8, Rgba{128, 128, 128, 255}},
      {"BC5 signed", buildRawDds(fourCcHeader(4, 4, rawFourCc("BC5S")),
                                 std::string("\x7F\x7F", 2) + std::string(6, '\0') + std::string("\x81\x81", 2) +
                                     std::string(6, '\0')),
       24, Rgba{255, 0, 0, 255}},
      {"BC7 mode 6", buildRawDds(dxgiHeader(4, 4, 98), std::string("\x40", 1) + std::string(15, '\xFF')), 32,
       Rgba{255, 255, 255, 255}},
  };
  for (const Case& c : cases) {
    TempDir dir;
    DecodedImage png;
    int sourceBpp = 0;
    ASSERT_TRUE(convertToPng(dir, c.file, &png, &sourceBpp)) << c.name;
    EXPECT_EQ(sourceBpp, c.sourceBpp) << c.name;
    const Rgba& p = png.at(1, 1);
    EXPECT_NEAR(p.r, c.expected.r, 1) << c.name;
    EXPECT_NEAR(p.g, c.expected.g, 1) << c.name;
    EXPECT_NEAR(p.b, c.expected.b, 1) << c.name;
    EXPECT_NEAR(p.a, c.expected.a, 1) << c.name;
  }
}

TEST(DdsConversion, FloatImagesAreClampedForIntegerDepths) {
  Bitmap source = adoptBitmap(FreeImage_AllocateT(FIT_RGBAF, 2, 1));
  ASSERT_TRUE(source);
  FIRGBAF* p = reinterpret_cast<FIRGBAF*>(FreeImage_GetScanLine(source.get(), 0));
  p[0] = FIRGBAF{-3.0f, 0.5f, 7.0f, 0.5f};
  p[1] = FIRGBAF{std::numeric_limits<float>::quiet_NaN(), 1.0f, 0.0f, 2.0f};
  struct Case {
    int32_t depth;
    FREE_IMAGE_TYPE type;
    unsigned bpp;
  } cases[] = {{48, FIT_RGB16, 48}, {32, FIT_BITMAP, 32}, {24, FIT_BITMAP, 24}, {8, FIT_BITMAP, 8},
               {96, FIT_RGBF, 96}};
  for (const Case& c : cases) {
    const DepthStep step{"tiff", c.depth, false};
    Bitmap converted = convertDepth(adoptBitmap(FreeImage_Clone(source.get())), step, 0);
    ASSERT_TRUE(converted) << c.depth;
    EXPECT_EQ(FreeImage_GetImageType(converted.get()), c.type) << c.depth;
    EXPECT_EQ(FreeImage_GetBPP(converted.get()), c.bpp) << c.depth;
    const BYTE* row = FreeImage_GetScanLine(converted.get(), 0);
    if (c.depth == 48) {
      const FIRGB16* q = reinterpret_cast<const FIRGB16*>(row);
      EXPECT_EQ(q[0].red, 0);
      EXPECT_EQ(q[0].green, 32768);
      EXPECT_EQ(q[0].blue, 65535);
      EXPECT_EQ(q[1].red, 0) << "NaN";
    } else if (c.depth == 32) {
      EXPECT_EQ(row[FI_RGBA_RED], 0);
      EXPECT_EQ(row[FI_RGBA_GREEN], 128);
      EXPECT_EQ(row[FI_RGBA_BLUE], 255);
      EXPECT_EQ(row[FI_RGBA_ALPHA], 128);
      EXPECT_EQ(row[4 + FI_RGBA_ALPHA], 255) << "alpha 2 clamps to 1";
    } else if (c.depth == 24) {
      EXPECT_EQ(row[FI_RGBA_GREEN], 128);
      EXPECT_EQ(row[3 + FI_RGBA_GREEN], 255);
    }
  }
}

TEST(DdsConversion, SixteenBitImagesReachLowDepths) {
  Bitmap source = adoptBitmap(FreeImage_AllocateT(FIT_RGB16, 4, 4));
  ASSERT_TRUE(source);
  for (const auto& [extension, depth] : {std::pair{"jpg", 8}, std::pair{"bmp", 8}, std::pair{"bmp", 4},
                                         std::pair{"bmp", 1}, std::pair{"bmp", 16}, std::pair{"tga", 16}}) {
    const DepthStep step{extension, depth, false};
    Bitmap converted = convertDepth(adoptBitmap(FreeImage_Clone(source.get())), step, 0);
    ASSERT_TRUE(converted) << extension << " " << depth;
    EXPECT_EQ(static_cast<int>(FreeImage_GetBPP(converted.get())), depth) << extension;
  }
}
