#include "pipeline/flip.h"

#include <gtest/gtest.h>

#include "pipeline/image_probe.h"
#include "settings/run_plan.h"

using namespace pipeline_test;

namespace {

// A 3 x 2 image whose red channel numbers the pixels 1..6 row by row from the top.
Bitmap numbered(int bpp) {
  Bitmap image = makeImage(3, 2, bpp);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) setPixel(image.get(), x, y, {1 + x + 3 * y, 0, 0, 255});
  return image;
}

}  // namespace

TEST(FlipImage, MovesPixelsToTheMirroredPlaces) {
  struct Case {
    uint8_t horizontal, vertical;
    int expected[2][3];
  } cases[] = {
      {0, 0, {{1, 2, 3}, {4, 5, 6}}},
      {1, 0, {{3, 2, 1}, {6, 5, 4}}},
      {0, 1, {{4, 5, 6}, {1, 2, 3}}},
      {1, 1, {{6, 5, 4}, {3, 2, 1}}},  // both: half a turn
  };
  for (int bpp : {8, 24, 32}) {
    for (const Case& c : cases) {
      ConversionSettings settings;
      settings.flipHorizontal = c.horizontal;
      settings.flipVertical = c.vertical;
      Bitmap image = numbered(bpp);
      FIBITMAP* before = image.get();
      Bitmap flipped = flipImage(std::move(image), planChain(settings).flip);
      EXPECT_EQ(flipped.get(), before);  // in place
      for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
          EXPECT_EQ(getPixel(flipped.get(), x, y).r, c.expected[y][x])
              << bpp << " bpp, h=" << int(c.horizontal) << " v=" << int(c.vertical) << " at "
              << x << "," << y;
    }
  }
}

TEST(FlipImage, BothFlagsMatchAHalfTurnReadBackFromPng) {
  ConversionSettings settings;
  settings.flipHorizontal = 1;
  settings.flipVertical = 1;
  Bitmap original = numbered(24);
  Bitmap turned = adoptBitmap(FreeImage_Rotate(original.get(), 180, nullptr));
  Bitmap flipped = flipImage(std::move(original), planChain(settings).flip);
  PngReadBack a = readBackThroughPng(flipped.get());
  PngReadBack b = readBackThroughPng(turned.get());
  ASSERT_TRUE(a.ok && b.ok);
  EXPECT_EQ(a.pixels, b.pixels);
  EXPECT_EQ(a.at(0, 0).r, 6);
  EXPECT_FALSE(flipImage(Bitmap(), planChain(settings).flip));
}
