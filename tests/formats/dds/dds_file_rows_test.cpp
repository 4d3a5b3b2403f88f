#include <gtest/gtest.h>

#include <random>
#include <string>

#include "formats/dds/dds_header.h"
#include "formats/dds/dds_image.h"
#include "formats/dds/dds_reader.h"
#include "formats/dds/raw_dds.h"
#include "support/temp_dir.h"

namespace {

// The bitmap's pixel bytes, scanline by scanline, without their padding.
std::string pixelBytes(FIBITMAP* bitmap) {
  const size_t rowBytes = size_t{FreeImage_GetLine(bitmap)};
  std::string out;
  for (unsigned y = 0; y < FreeImage_GetHeight(bitmap); ++y) {
    out.append(reinterpret_cast<const char*>(FreeImage_GetScanLine(bitmap, static_cast<int>(y))), rowBytes);
  }
  return out;
}

// Files whose rows can be read from disk straight into the bitmap give the
// bitmap the in-memory decoder gives; a short file gives none.
TEST(DdsFileRows, RowsReadIntoTheBitmapMatchTheDecoder) {
  constexpr uint32_t kRgb = 0x40, kAlpha = 0x1, kLuminance = 0x20000;
  struct Case {
    const char* name;
    RawDdsHeader header;
    uint32_t bytesPerPixel;
    uint32_t padding;  // a pitch field this much above a row (not read: rows are packed)
    bool straight;     // read straight into the scanlines
  };
  RawDdsHeader premultiplied = dxgiHeader(5, 3, 87);
  premultiplied.miscFlags2 = 2;
  const Case cases[] = {
      {"A8R8G8B8", maskHeader(5, 3, kRgb | kAlpha, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000), 4, 0, true},
      {"R8G8B8", maskHeader(5, 3, kRgb, 24, 0xFF0000, 0xFF00, 0xFF, 0), 3, 0, true},
      {"R8G8B8 padded", maskHeader(5, 3, kRgb, 24, 0xFF0000, 0xFF00, 0xFF, 0), 3, 5, true},
      {"L8", maskHeader(5, 3, kLuminance, 8, 0xFF, 0, 0, 0), 1, 0, true},
      {"RGBA16_UNORM", dxgiHeader(5, 3, 11), 8, 0, true},
      {"RGBA32_FLOAT padded", dxgiHeader(5, 3, 2), 16, 4, true},
      {"B8G8R8A8 premultiplied", premultiplied, 4, 0, false},
      {"A8B8G8R8", maskHeader(5, 3, kRgb | kAlpha, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000), 4, 0, false},
  };
  std::mt19937 random(7);
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RawDdsHeader header = c.header;
    const uint32_t pitch = 5 * c.bytesPerPixel + c.padding;
    if (c.padding > 0) {
      header.flags |= 0x8;
      header.pitchOrLinearSize = pitch;
    }
    std::string payload(pitch * 2 + 5 * c.bytesPerPixel, '\0');
    for (char& byte : payload) byte = static_cast<char>(random());
    const std::string file = buildRawDds(header, payload);

    DdsHeader parsed;
    ASSERT_EQ(checkDdsHeader(reinterpret_cast<const uint8_t*>(file.data()), file.size(), file.size(), &parsed),
              DdsCheck::Ok);
    EXPECT_EQ(ddsRowsAreScanlines(describeDdsLayout(parsed).format), c.straight);

    const std::string path = dir.path() + "rows.dds";
    ASSERT_TRUE(writeTestFile(path, file));
    Bitmap fromFile = readDdsFile(path);
    Bitmap fromMemory = readDdsImage(reinterpret_cast<const uint8_t*>(file.data()), file.size());
    ASSERT_TRUE(fromFile);
    ASSERT_TRUE(fromMemory);
    EXPECT_EQ(FreeImage_GetImageType(fromFile.get()), FreeImage_GetImageType(fromMemory.get()));
    EXPECT_EQ(FreeImage_GetBPP(fromFile.get()), FreeImage_GetBPP(fromMemory.get()));
    EXPECT_EQ(pixelBytes(fromFile.get()), pixelBytes(fromMemory.get()));

    const size_t packedEnd = file.size() - payload.size() + 3 * 5 * c.bytesPerPixel;
    ASSERT_TRUE(writeTestFile(path, file.substr(0, packedEnd - 1)));
    EXPECT_FALSE(readDdsFile(path));
  }
}

}  // namespace
