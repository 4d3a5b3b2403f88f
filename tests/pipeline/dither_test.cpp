#include "pipeline/dither.h"

#include <gtest/gtest.h>

#include "pipeline/greyscale.h"
#include "pipeline/image_probe.h"

using namespace pipeline_test;
#include "pipeline/threshold.h"
#include "settings/run_plan.h"

namespace {

ConversionSettings ditherWith(uint8_t code) {
  ConversionSettings settings;
  settings.doDither = 1;
  settings.ditherAlgorithm = code;
  return settings;
}

// A 64 x 64 colour gradient: red grows to the right, green downwards.
Bitmap gradient() {
  Bitmap image = makeImage(64, 64, 24);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) setPixel(image.get(), x, y, {x * 4, y * 4, 128});
  return image;
}

bool samePixels(FIBITMAP* a, FIBITMAP* b) {
  if (FreeImage_GetWidth(a) != FreeImage_GetWidth(b) ||
      FreeImage_GetHeight(a) != FreeImage_GetHeight(b))
    return false;
  for (int y = 0; y < static_cast<int>(FreeImage_GetHeight(a)); ++y)
    for (int x = 0; x < static_cast<int>(FreeImage_GetWidth(a)); ++x)
      if (!(getPixel(a, x, y) == getPixel(b, x, y))) return false;
  return true;
}

}  // namespace

TEST(DitherMethod, KeywordOrderDiffersFromFreeImagesFromBayer16On) {
  EXPECT_EQ(ditherMethod(static_cast<DitherKind>(0)), FID_FS);
  EXPECT_EQ(ditherMethod(static_cast<DitherKind>(1)), FID_BAYER4x4);
  EXPECT_EQ(ditherMethod(static_cast<DitherKind>(2)), FID_BAYER8x8);
  EXPECT_EQ(ditherMethod(static_cast<DitherKind>(3)), FID_BAYER16x16);
  EXPECT_EQ(static_cast<int>(ditherMethod(static_cast<DitherKind>(3))), 6);
  EXPECT_EQ(ditherMethod(static_cast<DitherKind>(4)), FID_CLUSTER6x6);
  EXPECT_EQ(static_cast<int>(ditherMethod(static_cast<DitherKind>(4))), 3);
  EXPECT_EQ(ditherMethod(static_cast<DitherKind>(5)), FID_CLUSTER8x8);
  EXPECT_EQ(ditherMethod(static_cast<DitherKind>(6)), FID_CLUSTER16x16);
  EXPECT_EQ(ditherMethod(static_cast<DitherKind>(7)), FID_FS);
  EXPECT_EQ(ditherMethod(static_cast<DitherKind>(255)), FID_FS);
}

TEST(ApplyDither, EveryMethodGivesOneBitAsFreeImageDithers) {
  for (uint8_t code = 0; code < 7; ++code) {
    Bitmap source = gradient();
    Bitmap reference = adoptBitmap(FreeImage_Dither(source.get(), ditherMethod(static_cast<DitherKind>(code))));
    Bitmap result = applyDither(std::move(source), planChain(ditherWith(code)).dither);
    ASSERT_TRUE(result) << int(code);
    EXPECT_EQ(FreeImage_GetBPP(result.get()), 1u) << int(code);
    EXPECT_TRUE(samePixels(result.get(), reference.get())) << int(code);
  }
  // The methods really differ, so the comparison above tells them apart.
  Bitmap bayer16 = applyDither(gradient(), planChain(ditherWith(3)).dither);
  Bitmap cluster6 = applyDither(gradient(), planChain(ditherWith(4)).dither);
  EXPECT_FALSE(samePixels(bayer16.get(), cluster6.get()));
}

TEST(ApplyDither, MidGreyBecomesAMixReadBackFromPng) {
  Bitmap result = applyDither(makeImage(16, 16, 8, {128}), planChain(ditherWith(0)).dither);
  ASSERT_TRUE(result);
  PngReadBack png = readBackThroughPng(result.get());
  ASSERT_TRUE(png.ok);
  int white = 0;
  for (const Pixel& p : png.pixels) {
    ASSERT_TRUE(p == (Pixel{0, 0, 0}) || p == (Pixel{255, 255, 255})) << toString(p);
    white += p.r == 255;
  }
  EXPECT_GT(white, 96);  // about half of 256
  EXPECT_LT(white, 160);
}

TEST(ApplyDither, GreyscaleThresholdAndDitherChainFollowsTheThresholdedImage) {
  ConversionSettings settings;
  settings.greyscale = 1;
  settings.doThreshold = 1;
  settings.threshold = 100;
  settings.doDither = 1;
  for (uint8_t code = 0; code < 7; ++code) {
    settings.ditherAlgorithm = code;
    Bitmap grey = applyGreyscale(gradient(), planChain(settings).greyscale);
    ASSERT_EQ(FreeImage_GetBPP(grey.get()), 8u);
    Bitmap thresholded = applyThreshold(std::move(grey), planChain(settings).threshold);
    ASSERT_EQ(FreeImage_GetBPP(thresholded.get()), 1u);
    Bitmap expected = adoptBitmap(FreeImage_Clone(thresholded.get()));
    Bitmap dithered = applyDither(std::move(thresholded), planChain(settings).dither);
    ASSERT_TRUE(dithered) << int(code);
    EXPECT_EQ(FreeImage_GetBPP(dithered.get()), 1u) << int(code);
    // Error diffusion and the ordered matrices reproduce pure black and white
    // exactly; the clustered-dot screens keep white but sprinkle a few white
    // dots into black areas.
    int changed = 0, whiteLost = 0;
    for (int y = 0; y < 64; ++y) {
      for (int x = 0; x < 64; ++x) {
        const int was = getPixel(expected.get(), x, y).r;
        const int now = getPixel(dithered.get(), x, y).r;
        changed += was != now;
        whiteLost += was == 255 && now != 255;
      }
    }
    EXPECT_EQ(whiteLost, 0) << int(code);
    if (code <= 3) EXPECT_EQ(changed, 0) << int(code);
    else EXPECT_LT(changed, 64 * 64 / 20) << int(code);
  }
  EXPECT_FALSE(applyDither(Bitmap(), planChain(ditherWith(0)).dither));
}
