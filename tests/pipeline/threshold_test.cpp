#include "pipeline/threshold.h"

#include <gtest/gtest.h>

#include "pipeline/dither.h"
#include "pipeline/image_probe.h"
#include "settings/run_plan.h"

using namespace pipeline_test;

namespace {

ConversionSettings thresholdAt(int32_t level) {
  ConversionSettings settings;
  settings.doThreshold = 1;
  settings.threshold = level;
  return settings;
}

// Grey levels 43, 44, 45 and 255 in one row.
Bitmap greyRow() {
  Bitmap image = makeImage(4, 1, 8);
  const int levels[] = {43, 44, 45, 255};
  for (int x = 0; x < 4; ++x) setPixel(image.get(), x, 0, {levels[x]});
  return image;
}

}  // namespace

TEST(ApplyThreshold, UsesTheLowByteOfTheLevel) {
  struct Case {
    int32_t level;
    int white[4];  // 1 where the pixel turns white
  } cases[] = {
      {44, {0, 1, 1, 1}},  {300, {0, 1, 1, 1}},  // 300 & 0xFF = 44
      {45, {0, 0, 1, 1}},  {43, {1, 1, 1, 1}},
      {256, {1, 1, 1, 1}},  // acts as 0
      {255, {0, 0, 0, 1}}, {-212, {0, 1, 1, 1}},  // two's complement low byte 44
  };
  for (const Case& c : cases) {
    Bitmap result = applyThreshold(greyRow(), planChain(thresholdAt(c.level)).threshold);
    ASSERT_TRUE(result) << c.level;
    EXPECT_EQ(FreeImage_GetBPP(result.get()), 1u) << c.level;
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(getPixel(result.get(), x, 0).r, c.white[x] * 255) << c.level << " at " << x;
    }
  }
}

TEST(ApplyThreshold, GivesBlackAndWhiteReadBackFromPng) {
  Bitmap image = makeImage(4, 2, 24);
  const Pixel colors[] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
  for (int x = 0; x < 4; ++x) {
    setPixel(image.get(), x, 0, colors[x]);
    setPixel(image.get(), x, 1, {0, 0, 0});
  }
  // Luminance 54, 182, 18, 255 against 300 (44).
  Bitmap result = applyThreshold(std::move(image), planChain(thresholdAt(300)).threshold);
  ASSERT_TRUE(result);
  EXPECT_EQ(FreeImage_GetBPP(result.get()), 1u);
  PngReadBack png = readBackThroughPng(result.get());
  ASSERT_TRUE(png.ok);
  const int expected[] = {255, 255, 0, 255};
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(png.at(x, 0), (Pixel{expected[x], expected[x], expected[x]})) << x;
    EXPECT_EQ(png.at(x, 1), (Pixel{0, 0, 0})) << x;
  }
}

TEST(ApplyThreshold, OneBitInputIsWidenedAndKeepsItsPicture) {
  Bitmap image = makeImage(2, 1, 1);
  setPixel(image.get(), 1, 0, {255});
  Bitmap result = applyThreshold(std::move(image), planChain(thresholdAt(128)).threshold);
  ASSERT_TRUE(result);
  EXPECT_EQ(FreeImage_GetBPP(result.get()), 1u);
  EXPECT_EQ(getPixel(result.get(), 0, 0).r, 0);
  EXPECT_EQ(getPixel(result.get(), 1, 0).r, 255);
  EXPECT_FALSE(applyThreshold(Bitmap(), planChain(thresholdAt(128)).threshold));
  Bitmap untouched = greyRow();
  FIBITMAP* before = untouched.get();
  EXPECT_EQ(applyThreshold(std::move(untouched), planChain(ConversionSettings{}).threshold).get(), before);
}

TEST(ApplyThreshold, EveryDepthGivesOneBitAndDitherToo) {
  // White in every depth a DDS file can load as, 16 bits per channel included.
  struct Case {
    const char* name;
    Bitmap (*make)();
  } cases[] = {
      {"1", [] { return makeImage(4, 4, 1, {255}); }},
      {"4", [] { return makeImage(4, 4, 4, {255}); }},
      {"8", [] { return makeImage(4, 4, 8, {255}); }},
      {"16", [] { return makeImage(4, 4, 16, {255, 255, 255}); }},
      {"24", [] { return makeImage(4, 4, 24, {255, 255, 255}); }},
      {"32", [] { return makeImage(4, 4, 32, {255, 255, 255}); }},
      {"48", [] { return makeWideImage(FIT_RGB16, 4, 4); }},
      {"64", [] { return makeWideImage(FIT_RGBA16, 4, 4); }},
  };
  ConversionSettings dither;
  dither.doDither = 1;
  for (const Case& c : cases) {
    for (int step = 0; step < 2; ++step) {
      Bitmap result = step == 0 ? applyThreshold(c.make(), planChain(thresholdAt(128)).threshold)
                                : applyDither(c.make(), planChain(dither).dither);
      ASSERT_TRUE(result) << c.name << (step ? " dither" : " threshold");
      EXPECT_EQ(FreeImage_GetBPP(result.get()), 1u) << c.name;
      EXPECT_EQ(getPixel(result.get(), 3, 3).r, 255) << c.name << (step ? " dither" : " threshold");
    }
  }
}
