#include "support/dds_builder.h"

#include <gtest/gtest.h>

#include "pipeline/independent_reader.h"
#include "support/temp_dir.h"

// The generator is checked against an independent decoder, so the pixels the
// other tests expect are the pixels the files really hold.

namespace {

Rgba pattern(int x, int y) {
  return Rgba{static_cast<uint8_t>(x * 37 + 11), static_cast<uint8_t>(y * 53 + 7),
              static_cast<uint8_t>((x + y) * 29), static_cast<uint8_t>(255 - x * 19)};
}

// Solid 4x4 blocks of saturated and mid colours, some half transparent.
Rgba blocks(int x, int y) {
  const int bx = x / 4, by = y / 4;
  return Rgba{static_cast<uint8_t>(bx % 2 ? 255 : 0), static_cast<uint8_t>(by % 2 ? 255 : 64),
              static_cast<uint8_t>((bx + by) * 40 % 256), static_cast<uint8_t>(bx % 3 ? 255 : 90)};
}

}  // namespace

TEST(DdsBuilder, UncompressedPixelsMatchNvdecompress) {
  TempDir dir;
  struct Case {
    const char* name;
    int bitCount;
    ChannelMasks masks;
    int width, height;
  } cases[] = {
      {"r8g8b8", 24, kMasksR8G8B8, 7, 5},      {"a8r8g8b8", 32, kMasksA8R8G8B8, 5, 9},
      {"x8r8g8b8", 32, kMasksX8R8G8B8, 4, 4},  {"a8b8g8r8", 32, kMasksA8B8G8R8, 6, 3},
      {"r5g6b5", 16, kMasksR5G6B5, 5, 5},      {"a1r5g5b5", 16, kMasksA1R5G5B5, 3, 7},
      {"a4r4g4b4", 16, kMasksA4R4G4B4, 8, 2},
  };
  for (const Case& c : cases) {
    const std::string path = dir.path() + c.name + ".dds";
    ASSERT_TRUE(writeBinaryFile(path, buildUncompressedDds(c.width, c.height, c.bitCount, c.masks,
                                                           pattern, {.mipmaps = true})));
    DecodedImage decoded;
    ASSERT_TRUE(decodeWithNvdecompress(path, &decoded)) << c.name;
    ASSERT_EQ(decoded.width, c.width) << c.name;
    ASSERT_EQ(decoded.height, c.height) << c.name;
    for (int y = 0; y < c.height; ++y) {
      for (int x = 0; x < c.width; ++x) {
        const Rgba expected = expectedUncompressedColour(pattern(x, y), c.masks);
        const Rgba got = decoded.at(x, y);
        ASSERT_EQ(got, expected) << c.name << " at " << x << "," << y << " got " << int(got.r)
                                 << " " << int(got.g) << " " << int(got.b) << " " << int(got.a);
      }
    }
  }
}

TEST(DdsBuilder, BlockPixelsMatchImageMagick) {
  TempDir dir;
  struct Case {
    const char* name;
    BlockFormat format;
    int width, height;
  } cases[] = {
      {"dxt1", BlockFormat::Dxt1, 16, 8}, {"dxt1 odd", BlockFormat::Dxt1, 13, 6},
      {"dxt3", BlockFormat::Dxt3, 8, 12}, {"dxt5", BlockFormat::Dxt5, 12, 12},
      {"dxt5 odd", BlockFormat::Dxt5, 10, 7},
  };
  for (const Case& c : cases) {
    const std::string path = dir.path() + "block.dds";
    ASSERT_TRUE(writeBinaryFile(path, buildBlockDds(c.format, c.width, c.height, blocks,
                                                    {.mipmaps = true})));
    DecodedImage decoded;
    ASSERT_TRUE(decodeWithImageMagick(path, &decoded)) << c.name;
    ASSERT_EQ(decoded.width, c.width) << c.name;
    ASSERT_EQ(decoded.height, c.height) << c.name;
    for (int y = 0; y < c.height; ++y) {
      for (int x = 0; x < c.width; ++x) {
        const Rgba expected = expectedBlockColour(c.format, blocks(x, y));
        ASSERT_EQ(decoded.at(x, y), expected) << c.name << " at " << x << "," << y;
      }
    }
  }
}

TEST(DdsBuilder, MipmapChainIsComplete) {
  TempDir dir;
  const std::string path = dir.path() + "mips.dds";
  ASSERT_TRUE(writeBinaryFile(path, buildBlockDds(BlockFormat::Dxt5, 20, 6, blocks,
                                                  {.mipmaps = true})));
  std::string info;
  ASSERT_EQ(runCommand("nvddsinfo " + shellQuote(path), &info), 0);
  EXPECT_NE(info.find("Mipmap count: 5"), std::string::npos) << info;
  EXPECT_EQ(fullMipmapCount(20, 6), 5);
  EXPECT_EQ(fullMipmapCount(1, 1), 1);
  EXPECT_EQ(fullMipmapCount(4096, 4096), 13);
}
