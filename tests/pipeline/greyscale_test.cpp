#include "pipeline/greyscale.h"

#include <gtest/gtest.h>

#include "pipeline/image_probe.h"
#include "settings/run_plan.h"

using namespace pipeline_test;

namespace {

ConversionSettings greyscaleOn() {
  ConversionSettings settings;
  settings.greyscale = 1;
  return settings;
}

}  // namespace

TEST(ApplyGreyscale, GivesEightBitGreyByLuminance) {
  const Pixel colors[] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}, {0, 0, 0}};
  const int levels[] = {54, 182, 18, 255, 0};  // 0.2126 R + 0.7152 G + 0.0722 B
  for (int bpp : {24, 32}) {
    Bitmap image = makeImage(5, 1, bpp);
    for (int x = 0; x < 5; ++x) setPixel(image.get(), x, 0, colors[x]);
    Bitmap grey = applyGreyscale(std::move(image), planChain(greyscaleOn()).greyscale);
    ASSERT_TRUE(grey) << bpp;
    EXPECT_EQ(FreeImage_GetBPP(grey.get()), 8u) << bpp;
    EXPECT_EQ(FreeImage_GetColorType(grey.get()), FIC_MINISBLACK) << bpp;
    PngReadBack png = readBackThroughPng(grey.get());
    ASSERT_TRUE(png.ok) << bpp;
    EXPECT_EQ(png.mode, "L") << bpp;  // a 32-bit image loses its alpha here
    for (int x = 0; x < 5; ++x) {
      EXPECT_EQ(png.at(x, 0), (Pixel{levels[x], levels[x], levels[x]}))
          << bpp << " bpp, " << toString(colors[x]) << " gave " << toString(png.at(x, 0));
    }
  }
}

TEST(ApplyGreyscale, WidensSixteenBitsPerChannelFirst) {
  for (FREE_IMAGE_TYPE type : {FIT_RGB16, FIT_RGBA16}) {
    Bitmap wide = makeWideImage(type, 2, 1);
    FIRGB16* row = reinterpret_cast<FIRGB16*>(FreeImage_GetScanLine(wide.get(), 0));
    if (type == FIT_RGB16) row[0] = FIRGB16{65535, 0, 0};
    else reinterpret_cast<FIRGBA16*>(row)[0] = FIRGBA16{65535, 0, 0, 65535};
    Bitmap grey = applyGreyscale(std::move(wide), planChain(greyscaleOn()).greyscale);
    ASSERT_TRUE(grey) << type;
    EXPECT_EQ(FreeImage_GetBPP(grey.get()), 8u) << type;
    EXPECT_EQ(getPixel(grey.get(), 0, 0).r, 54) << type;
    EXPECT_EQ(getPixel(grey.get(), 1, 0).r, 255) << type;
  }
}

TEST(ApplyGreyscale, OffOrNoImageChangesNothing) {
  Bitmap image = makeImage(2, 2, 24, {255, 0, 0});
  FIBITMAP* before = image.get();
  Bitmap result = applyGreyscale(std::move(image), planChain(ConversionSettings{}).greyscale);
  EXPECT_EQ(result.get(), before);
  EXPECT_FALSE(applyGreyscale(Bitmap(), planChain(greyscaleOn()).greyscale));
}
