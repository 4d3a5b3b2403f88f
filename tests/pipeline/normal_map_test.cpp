// Rebuilding the Z of normal maps, through the built program: known x and y
// in, blue = round((sqrt(max(0, 1 - x^2 - y^2)) + 1) / 2 x 255) out.

#include <gtest/gtest.h>

#include "formats/dds/raw_dds.h"
#include "pipeline/independent_reader.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

// A BC4 block of one value: both end points v, every index 0.
std::string solidBc4(uint8_t v) {
  std::string block(8, '\0');
  block[0] = block[1] = static_cast<char>(v);
  return block;
}

// A DXT5 block: alpha a, colour 5:6:5 c, everywhere.
std::string solidDxt5(uint8_t a, uint16_t c) {
  std::string block = solidBc4(a);
  for (int i = 0; i < 2; ++i) {
    block.push_back(static_cast<char>(c & 0xFF));
    block.push_back(static_cast<char>(c >> 8));
  }
  return block + std::string(4, '\0');
}

}  // namespace

TEST(NormalMap, BlueIsRebuiltFromRedAndGreen) {
  constexpr uint32_t kNormalFlag = 0x80000000;
  RawDdsHeader flaggedDxt5 = fourCcHeader(4, 4, rawFourCc("DXT5"));
  flaggedDxt5.pixelFlags |= kNormalFlag;
  struct Case {
    const char* label;
    RawDdsHeader header;
    std::string blocks;
    const char* mode;
    Rgba expected;
  } cases[] = {
      // x = 2 x 218 / 255 - 1 = 0.7098, y = 0.0039: z = 0.7044 -> 217.3.
      {"ATI2 auto", fourCcHeader(4, 4, rawFourCc("ATI2")), solidBc4(218) + solidBc4(128), "auto",
       {218, 128, 217, 255}},
      // x = 1: z = 0 -> 127.5, rounded up.
      {"ATI2 x = 1", fourCcHeader(4, 4, rawFourCc("ATI2")), solidBc4(255) + solidBc4(128), "auto",
       {255, 128, 128, 255}},
      {"ATI2 flat", fourCcHeader(4, 4, rawFourCc("ATI2")), solidBc4(128) + solidBc4(128), "auto",
       {128, 128, 255, 255}},
      {"ATI2 off", fourCcHeader(4, 4, rawFourCc("ATI2")), solidBc4(218) + solidBc4(128), "off",
       {218, 128, 0, 255}},
      // Signed x = 64 / 127 (shown as 192), y = 0: z = 0.8637 -> 237.6; read as
      // unsigned, 192 would give x = 0.5059, y = 0.0039 and 237.
      {"BC5S auto", fourCcHeader(4, 4, rawFourCc("BC5S")), solidBc4(64) + solidBc4(0), "auto",
       {192, 128, 238, 255}},
      {"ATI2 192", fourCcHeader(4, 4, rawFourCc("ATI2")), solidBc4(192) + solidBc4(128), "auto",
       {192, 128, 237, 255}},
      // A flagged DXT5 with red empty keeps x in alpha: x = 0.7098, y = 2 x 130 / 255 - 1.
      {"flagged DXT5", flaggedDxt5, solidDxt5(218, 32 << 5), "auto", {218, 130, 217, 255}},
      // Not a normal map: auto leaves it, on rebuilds it (x = y = -1 gives z = 0).
      {"plain DXT5 auto", fourCcHeader(4, 4, rawFourCc("DXT5")), solidDxt5(218, 0x001F), "auto",
       {0, 0, 255, 218}},
      {"plain DXT5 on", fourCcHeader(4, 4, rawFourCc("DXT5")), solidDxt5(218, 0x001F), "ON",
       {0, 0, 128, 218}},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const std::string input = dir.path() + "n.dds";
    ASSERT_TRUE(writeTestFile(input, buildRawDds(c.header, c.blocks))) << c.label;
    runProgramWith({"-i", input, "-o", dir.path(), "-c", "png", std::string("--normal-map=") + c.mode});
    DecodedImage image;
    ASSERT_TRUE(decodeWithImageMagick(dir.path() + "n.png", &image)) << c.label;
    EXPECT_EQ(image.at(1, 2), c.expected)
        << c.label << ": " << int(image.at(1, 2).r) << " " << int(image.at(1, 2).g) << " "
        << int(image.at(1, 2).b) << " " << int(image.at(1, 2).a);
  }
}
