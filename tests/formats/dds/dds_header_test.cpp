#include "formats/dds/dds_header.h"

#include <gtest/gtest.h>

#include "support/dds_builder.h"
#include "support/temp_dir.h"
#include "platform/files.h"

namespace {

Rgba grey(int, int) { return Rgba{128, 128, 128, 255}; }

void setWord(std::string& data, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) data[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

uint32_t readWordForTest(const std::string& data, size_t offset) {
  uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(static_cast<uint8_t>(data[offset + i])) << (8 * i);
  return value;
}

DdsCheck check(const std::string& data, DdsHeader* header = nullptr) {
  return checkDdsHeader(reinterpret_cast<const uint8_t*>(data.data()), data.size(), data.size(),
                        header);
}

// A file with a DX10 extension naming the given DXGI format, data zeroed.
std::string dx10File(int width, int height, uint32_t dxgiFormat, size_t dataBytes) {
  std::string data = buildBlockDds(BlockFormat::Dxt1, 4, 4, grey).substr(0, 128);
  setWord(data, 12, static_cast<uint32_t>(height));
  setWord(data, 16, static_cast<uint32_t>(width));
  setWord(data, 84, kFourCcDx10);
  std::string extension(20, '\0');
  setWord(extension, 0, dxgiFormat);
  setWord(extension, 4, 3);  // 2D texture
  setWord(extension, 12, 1);
  return data + extension + std::string(dataBytes, '\0');
}

}  // namespace

TEST(DdsHeader, ParsesTheFieldsOfBuiltFiles) {
  DdsHeader header;
  const std::string dxt5 = buildBlockDds(BlockFormat::Dxt5, 20, 12, grey, {.mipmaps = true});
  ASSERT_EQ(check(dxt5, &header), DdsCheck::Ok);
  EXPECT_EQ(header.width, 20u);
  EXPECT_EQ(header.height, 12u);
  EXPECT_EQ(header.mipMapCount, 5u);
  EXPECT_EQ(header.pixelFormat.fourCc, kFourCcDxt5);
  EXPECT_FALSE(header.hasDx10);
  EXPECT_EQ(header.dataOffset, 128u);

  const std::string rgba = buildUncompressedDds(3, 5, 32, kMasksA8B8G8R8, grey, {.rowPadding = 4});
  ASSERT_EQ(check(rgba, &header), DdsCheck::Ok);
  EXPECT_EQ(header.pixelFormat.rgbBitCount, 32u);
  EXPECT_EQ(header.pixelFormat.redMask, 0xFFu);
  EXPECT_EQ(header.pixelFormat.alphaMask, 0xFF000000u);
  EXPECT_EQ(header.pitchOrLinearSize, 16u);
  EXPECT_TRUE(header.flags & kDdsFlagPitch);
}

TEST(DdsHeader, TopLevelSizePerLayout) {
  struct Case {
    const char* name;
    std::string file;
    uint64_t expected;
  } cases[] = {
      {"dxt1 4x4", buildBlockDds(BlockFormat::Dxt1, 4, 4, grey), 8},
      {"dxt1 5x3", buildBlockDds(BlockFormat::Dxt1, 5, 3, grey), 2 * 1 * 8},
      {"dxt3 9x9", buildBlockDds(BlockFormat::Dxt3, 9, 9, grey), 3 * 3 * 16},
      {"dxt5 1x1", buildBlockDds(BlockFormat::Dxt5, 1, 1, grey), 16},
      {"rgb24 5x3", buildUncompressedDds(5, 3, 24, kMasksR8G8B8, grey), 45},
      {"rgb16 3x2", buildUncompressedDds(3, 2, 16, kMasksR5G6B5, grey), 12},
      // The pitch field is not read: rows are always width x bytes per pixel.
      {"rgba32 3x2 pitch 16", buildUncompressedDds(3, 2, 32, kMasksA8R8G8B8, grey, {.rowPadding = 4}),
       2 * 12},
      {"dx10 bc7 8x4", dx10File(8, 4, 98, 0), 2 * 16},
      {"dx10 rgba8 3x3", dx10File(3, 3, 28, 0), 36},
  };
  for (const Case& c : cases) {
    DdsHeader header;
    const auto* bytes = reinterpret_cast<const uint8_t*>(c.file.data());
    ASSERT_TRUE(parseDdsHeader(bytes, c.file.size(), &header)) << c.name;
    EXPECT_EQ(ddsTopLevelDataSize(header, describeDdsLayout(header)), c.expected) << c.name;
  }
}

TEST(DdsHeader, RejectsBrokenHeaders) {
  const std::string good = buildUncompressedDds(8, 8, 32, kMasksA8R8G8B8, grey);
  struct Case {
    const char* name;
    size_t offset;
    uint32_t value;
    DdsCheck expected;
  } cases[] = {
      {"magic", 0, makeFourCc('D', 'D', 'S', 'X'), DdsCheck::BadMagic},
      {"header size 123", 4, 123, DdsCheck::BadHeaderSize},
      {"header size 125", 4, 125, DdsCheck::BadHeaderSize},
      {"pixel format size 31", 76, 31, DdsCheck::BadPixelFormatSize},
      {"width 0", 16, 0, DdsCheck::BadDimensions},
      {"height 0", 12, 0, DdsCheck::BadDimensions},
      {"width 32769", 16, 32769, DdsCheck::BadDimensions},
      {"height 32769", 12, 32769, DdsCheck::BadDimensions},
      {"width 0xFFFFFFFF", 16, 0xFFFFFFFF, DdsCheck::BadDimensions},
      // In range, but the file holds only 8x8 pixels.
      {"height 32768", 12, 32768, DdsCheck::Truncated},
      {"height 9", 12, 9, DdsCheck::Truncated},
      {"width 9 wider than the pitch", 16, 9, DdsCheck::Truncated},
      {"bit count 12", 88, 12, DdsCheck::UnsupportedLayout},
      {"bit count 8", 88, 8, DdsCheck::UnsupportedLayout},
      {"bit count 64", 88, 64, DdsCheck::UnsupportedLayout},
      {"no layout flags", 80, 0, DdsCheck::UnsupportedLayout},
      // Writers fill the pitch unreliably; only missing pixel data counts.
      {"pitch below a row", 20, 31, DdsCheck::Ok},
      {"pitch past the data", 20, 33, DdsCheck::Ok},
  };
  for (const Case& c : cases) {
    std::string data = good;
    setWord(data, c.offset, c.value);
    EXPECT_EQ(check(data), c.expected) << c.name << ": " << ddsCheckText(check(data));
  }
  EXPECT_EQ(check(good), DdsCheck::Ok);
}

TEST(DdsHeader, SupportedLayoutsAreThoseTheDecoderReads) {
  struct Case {
    const char* name;
    std::string file;
    DdsCheck expected;
  } cases[] = {
      {"dxt1", buildBlockDds(BlockFormat::Dxt1, 8, 8, grey), DdsCheck::Ok},
      {"dxt3", buildBlockDds(BlockFormat::Dxt3, 8, 8, grey), DdsCheck::Ok},
      {"dxt5", buildBlockDds(BlockFormat::Dxt5, 8, 8, grey), DdsCheck::Ok},
      {"r5g6b5", buildUncompressedDds(8, 8, 16, kMasksR5G6B5, grey), DdsCheck::Ok},
      {"r8g8b8", buildUncompressedDds(8, 8, 24, kMasksR8G8B8, grey), DdsCheck::Ok},
      {"a8b8g8r8", buildUncompressedDds(8, 8, 32, kMasksA8B8G8R8, grey), DdsCheck::Ok},
      {"dx10 bc1", dx10File(8, 8, 71, 32), DdsCheck::Ok},
      {"dx10 bc7", dx10File(8, 8, 98, 64), DdsCheck::Ok},
      {"dx10 bc6h signed", dx10File(8, 8, 96, 64), DdsCheck::Ok},
      {"dx10 r9g9b9e5", dx10File(8, 8, 67, 256), DdsCheck::Ok},
      {"dx10 typeless r32g32b32a32", dx10File(8, 8, 1, 1024), DdsCheck::UnsupportedLayout},
      {"dx10 unknown format", dx10File(8, 8, 9999, 256), DdsCheck::UnsupportedLayout},
  };
  for (const Case& c : cases) EXPECT_EQ(check(c.file), c.expected) << c.name;

  std::string ati2 = buildBlockDds(BlockFormat::Dxt5, 8, 8, grey);
  setWord(ati2, 84, kFourCcAti2);
  EXPECT_EQ(check(ati2), DdsCheck::Ok);
  std::string yuy2 = ati2;
  setWord(yuy2, 84, makeFourCc('Y', 'U', 'Y', '2'));
  EXPECT_EQ(check(yuy2), DdsCheck::UnsupportedLayout);
}

TEST(DdsHeader, ShortAndTruncatedFiles) {
  const std::string good = buildBlockDds(BlockFormat::Dxt1, 8, 8, grey);  // 128 + 32 bytes
  struct Case {
    size_t length;
    DdsCheck expected;
  } cases[] = {{0, DdsCheck::TooShort},   {3, DdsCheck::TooShort},   {4, DdsCheck::TooShort},
               {127, DdsCheck::TooShort}, {128, DdsCheck::Truncated}, {159, DdsCheck::Truncated},
               {160, DdsCheck::Ok}};
  for (const Case& c : cases) {
    EXPECT_EQ(check(good.substr(0, c.length)), c.expected) << "length " << c.length;
  }
  // Not even the magic: a short file of other bytes.
  EXPECT_EQ(check("PNG"), DdsCheck::TooShort);
  EXPECT_EQ(check("\x89PNG\r\n\x1a\n"), DdsCheck::BadMagic);

  // The DX10 extension itself cut off.
  const std::string dx10 = dx10File(4, 4, 71, 8);
  EXPECT_EQ(check(dx10.substr(0, 140)), DdsCheck::TooShort);
  // The claimed file length decides, not only the bytes handed over.
  EXPECT_EQ(checkDdsHeader(reinterpret_cast<const uint8_t*>(good.data()), 148, 160), DdsCheck::Ok);
  EXPECT_EQ(checkDdsHeader(reinterpret_cast<const uint8_t*>(good.data()), 148, 150),
            DdsCheck::Truncated);
}

TEST(DdsHeader, FileWrapperReadsFromDisk) {
  TempDir dir;
  const std::string good = dir.path() + "good.dds";
  ASSERT_TRUE(writeBinaryFile(good, buildBlockDds(BlockFormat::Dxt5, 16, 16, grey)));
  DdsHeader header;
  EXPECT_EQ(checkDdsFile(good, &header), DdsCheck::Ok);
  EXPECT_EQ(header.width, 16u);

  const std::string empty = dir.path() + "empty.dds";
  ASSERT_TRUE(writeBinaryFile(empty, ""));
  EXPECT_EQ(checkDdsFile(empty), DdsCheck::TooShort);
  EXPECT_EQ(checkDdsFile(dir.path() + "missing.dds"), DdsCheck::TooShort);
  ASSERT_TRUE(createFolder(dir.path() + "folder.dds"));
  EXPECT_EQ(checkDdsFile(dir.path() + "folder.dds"), DdsCheck::TooShort);
}

TEST(DdsHeader, ChecksMipmapCountExtensionAndDecodedSize) {
  const std::string dxt1 = buildBlockDds(BlockFormat::Dxt1, 16, 8, grey);  // full chain: 5 levels
  struct Case {
    const char* name;
    std::string file;
    DdsCheck expected;
  } cases[] = {
      {"mip count 5 of 16x8", dxt1, DdsCheck::Ok},
      {"mip count 6 of 16x8", dxt1, DdsCheck::BadMipMapCount},
      {"dx10 1D with height 1", dx10File(8, 1, 71, 16), DdsCheck::Ok},
      {"dx10 1D with height 4", dx10File(8, 4, 71, 16), DdsCheck::BadExtension},
      {"dx10 3D", dx10File(8, 8, 71, 32), DdsCheck::Ok},
      {"dx10 dimension 5", dx10File(8, 8, 71, 32), DdsCheck::BadExtension},
      // Read as a single texture, as other readers do.
      {"dx10 array size 0", dx10File(8, 8, 71, 32), DdsCheck::Ok},
      {"dx10 alpha mode 5", dx10File(8, 8, 71, 32), DdsCheck::BadExtension},
      {"dx10 cube with 6 faces", dx10File(8, 8, 71, 6 * 32), DdsCheck::Ok},
      // 32768 x 32768 floats would need 16 GiB, far beyond what the file holds.
      {"dx10 rgba32f 32768 square", dx10File(32768, 32768, 2, 64), DdsCheck::TooLarge},
      {"dx10 bc7 32768 square, 64 bytes", dx10File(32768, 32768, 98, 64), DdsCheck::Truncated},
  };
  setWord(cases[0].file, 8, readWordForTest(cases[0].file, 8) | kDdsFlagMipMapCount);
  setWord(cases[0].file, 28, 5);
  setWord(cases[1].file, 8, readWordForTest(cases[1].file, 8) | kDdsFlagMipMapCount);
  setWord(cases[1].file, 28, 6);
  setWord(cases[2].file, 132, kDdsDimensionTexture1d);
  setWord(cases[3].file, 132, kDdsDimensionTexture1d);
  setWord(cases[4].file, 132, kDdsDimensionTexture3d);
  setWord(cases[5].file, 132, 5);
  setWord(cases[6].file, 140, 0);
  setWord(cases[7].file, 144, 5);
  setWord(cases[8].file, 136, kDdsMiscTextureCube);
  setWord(cases[8].file, 140, 6);
  for (const Case& c : cases) {
    EXPECT_EQ(check(c.file), c.expected) << c.name << ": " << ddsCheckText(check(c.file));
  }
}

TEST(DdsHeader, PremultipliedAlphaComesFromFourCcOrAlphaMode) {
  std::string dxt4 = buildBlockDds(BlockFormat::Dxt5, 8, 8, grey);
  setWord(dxt4, 84, kFourCcDxt4);
  std::string dx10 = dx10File(8, 8, 98, 64);
  DdsHeader header;
  ASSERT_EQ(check(dxt4, &header), DdsCheck::Ok);
  EXPECT_TRUE(describeDdsLayout(header).format.premultiplied);
  ASSERT_EQ(check(dx10, &header), DdsCheck::Ok);
  EXPECT_FALSE(describeDdsLayout(header).format.premultiplied);
  setWord(dx10, 144, kDdsAlphaModePremultiplied);
  ASSERT_EQ(check(dx10, &header), DdsCheck::Ok);
  EXPECT_TRUE(describeDdsLayout(header).format.premultiplied);
}
