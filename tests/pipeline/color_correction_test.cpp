#include "pipeline/color_correction.h"

#include <gtest/gtest.h>

#include "pipeline/image_probe.h"
#include "settings/run_plan.h"

using namespace pipeline_test;

namespace {

ConversionSettings adjust(int32_t brightness, int32_t contrast, float gamma, uint8_t invert) {
  ConversionSettings settings;
  settings.doColorCorrection = 1;
  settings.brightness = brightness;
  settings.contrast = contrast;
  settings.gamma = gamma;
  settings.invert = invert;
  return settings;
}

}  // namespace

TEST(ApplyColorCorrection, ChangesKnownPixels) {
  // Expected values worked out by hand from FreeImage's curves:
  // brightness v * 1.5, contrast 128 + (v - 128) * 1.5, gamma 255 * (v / 255)^(1/2).
  struct Case {
    const char* name;
    ConversionSettings settings;
    Pixel expected;
  } cases[] = {
      {"brightness 50", adjust(50, 0, 1.0f, 0), {150, 96, 15}},
      {"contrast 50", adjust(0, 50, 1.0f, 0), {86, 32, 0}},
      {"gamma 2", adjust(0, 0, 2.0f, 0), {160, 128, 50}},
      {"invert only", adjust(0, 0, 1.0f, 1), {155, 191, 245}},
      {"nothing asked", adjust(0, 0, 1.0f, 0), {100, 64, 10}},
  };
  for (const Case& c : cases) {
    Bitmap result = applyColorCorrection(makeImage(2, 2, 24, {100, 64, 10}), planChain(c.settings).colorCorrection);
    ASSERT_TRUE(result) << c.name;
    EXPECT_EQ(getPixel(result.get(), 1, 1), c.expected) << c.name << " "
                                                        << toString(getPixel(result.get(), 1, 1));
  }
  ConversionSettings off = adjust(50, 0, 1.0f, 1);
  off.doColorCorrection = 0;
  Bitmap untouched = applyColorCorrection(makeImage(1, 1, 24, {100, 64, 10}), planChain(off).colorCorrection);
  EXPECT_EQ(getPixel(untouched.get(), 0, 0), (Pixel{100, 64, 10}));
}

TEST(ApplyColorCorrection, PassesTheValuesToFreeImageUnchanged) {
  // Every level through a combined adjustment equals FreeImage's own table.
  BYTE table[256];
  FreeImage_GetAdjustColorsLookupTable(table, -30, 20, 0.6, TRUE);
  Bitmap ramp = makeImage(256, 1, 24);
  for (int v = 0; v < 256; ++v) setPixel(ramp.get(), v, 0, {v, 255 - v, v / 2});
  Bitmap result = applyColorCorrection(std::move(ramp), planChain(adjust(-30, 20, 0.6f, 1)).colorCorrection);
  ASSERT_TRUE(result);
  for (int v = 0; v < 256; ++v) {
    EXPECT_EQ(getPixel(result.get(), v, 0), (Pixel{table[v], table[255 - v], table[v / 2]})) << v;
  }
}

TEST(ApplyColorCorrection, KeepsAlphaOf32BitImages) {
  Bitmap image = makeImage(3, 1, 32);
  setPixel(image.get(), 0, 0, {100, 64, 10, 0});
  setPixel(image.get(), 1, 0, {100, 64, 10, 77});
  setPixel(image.get(), 2, 0, {100, 64, 10, 255});
  Bitmap result = applyColorCorrection(std::move(image), planChain(adjust(0, 0, 1.0f, 1)).colorCorrection);
  ASSERT_TRUE(result);
  EXPECT_EQ(FreeImage_GetBPP(result.get()), 32u);
  PngReadBack png = readBackThroughPng(result.get());
  ASSERT_TRUE(png.ok);
  EXPECT_EQ(png.at(0, 0), (Pixel{155, 191, 245, 0})) << toString(png.at(0, 0));
  EXPECT_EQ(png.at(1, 0), (Pixel{155, 191, 245, 77})) << toString(png.at(1, 0));
  EXPECT_EQ(png.at(2, 0), (Pixel{155, 191, 245, 255})) << toString(png.at(2, 0));
}

TEST(ApplyColorCorrection, DepthsFreeImageSkipsAreWidenedFirst) {
  // 1-, 4-, 16-, 48- and 64-bit images, which FreeImage would leave unadjusted.
  struct Case {
    int bpp;
    unsigned expectedBpp;
  } cases[] = {{1, 24}, {4, 24}, {16, 24}, {8, 8}, {24, 24}, {32, 32}, {48, 24}, {64, 24}};
  for (const Case& c : cases) {
    Bitmap image = c.bpp == 48   ? makeWideImage(FIT_RGB16, 2, 2)
                   : c.bpp == 64 ? makeWideImage(FIT_RGBA16, 2, 2)
                                 : makeImage(2, 2, c.bpp, {255, 255, 255});
    Bitmap result = applyColorCorrection(std::move(image), planChain(adjust(-50, 0, 1.0f, 0)).colorCorrection);
    ASSERT_TRUE(result) << c.bpp;
    EXPECT_EQ(FreeImage_GetBPP(result.get()), c.expectedBpp) << c.bpp;
    // White at half brightness.
    EXPECT_EQ(getPixel(result.get(), 0, 0), (Pixel{128, 128, 128})) << c.bpp << " "
        << toString(getPixel(result.get(), 0, 0));
  }
  EXPECT_FALSE(applyColorCorrection(Bitmap(), planChain(adjust(10, 0, 1.0f, 0)).colorCorrection));
}
