#include "pipeline/drawing/compositing.h"

#include <gtest/gtest.h>

#include "pipeline/watermark_picture.h"
#include "../pixel_support.h"

TEST(SourceOver, GivesTheIntegerRuleResults) {
  struct Case {
    RgbaPixel destination, source;
    int32_t opacity;
    RgbaPixel expected;
    const char* name;
  };
  const Case cases[] = {
      {{10, 20, 30, 255}, {200, 100, 50, 0}, 255, {10, 20, 30, 255}, "a = 0 keeps destination"},
      {{1, 2, 3, 4}, {9, 9, 9, 255}, 0, {1, 2, 3, 4}, "opacity 0 keeps destination"},
      {{0, 0, 0, 0}, {200, 100, 50, 180}, 255, {200, 100, 50, 180}, "Ad = 0, O = 255"},
      {{0, 0, 0, 0}, {200, 100, 50, 180}, 128, {200, 100, 50, 90}, "Ad = 0, a truncates"},
      {{10, 20, 30, 255}, {200, 100, 50, 255}, 255, {200, 100, 50, 255}, "opaque over opaque"},
      {{255, 255, 255, 255}, {0, 0, 0, 255}, 128, {127, 127, 127, 255}, "half black on white"},
      {{100, 50, 200, 100}, {20, 240, 60, 150}, 200, {45, 179, 104, 171}, "both partial"},
      {{0, 0, 0, 1}, {255, 255, 255, 1}, 255, {127, 127, 127, 1}, "faint over faint"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(sourceOver(c.destination, c.source, c.opacity), c.expected)
        << c.name << ": got " << describe(sourceOver(c.destination, c.source, c.opacity));
  }
}

TEST(DrawCanvasOver, ClipsAtEveryEdge) {
  Canvas destination;
  ASSERT_TRUE(destination.create(4, 3));
  Canvas source;
  ASSERT_TRUE(source.create(3, 3, {255, 0, 0, 255}));
  drawCanvasOver(destination, source, -1, 2, 255);  // only (0..1, 2) is inside
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) {
      const bool inside = y == 2 && x <= 1;
      EXPECT_EQ(destination.at(x, y).a, inside ? 255 : 0) << x << "," << y;
    }
  }
  drawCanvasOver(destination, source, 10, 10, 255);  // wholly outside: nothing happens
  drawCanvasOver(destination, source, -10, -10, 255);
  EXPECT_EQ(destination.at(3, 0).a, 0);
}

TEST(FloodFill, FillsConnectedSameColourOnly) {
  Canvas canvas;
  ASSERT_TRUE(canvas.create(5, 5, {0, 0, 0, 0}));
  for (int y = 0; y < 5; ++y) canvas.at(2, y) = {9, 9, 9, 255};  // a wall down the middle
  floodFill(canvas, 1, 1, {1, 2, 3, 200});
  EXPECT_EQ(canvas.at(0, 4), (RgbaPixel{1, 2, 3, 200}));
  EXPECT_EQ(canvas.at(2, 2), (RgbaPixel{9, 9, 9, 255}));
  EXPECT_EQ(canvas.at(4, 0), (RgbaPixel{0, 0, 0, 0}));
  // Same red, green and blue as the seed with a new alpha must not loop.
  floodFill(canvas, 0, 0, {1, 2, 3, 7});
  EXPECT_EQ(canvas.at(1, 3), (RgbaPixel{1, 2, 3, 7}));
  floodFill(canvas, -1, 99, {5, 5, 5, 5});  // outside: ignored
}

TEST(FloodFill, CoversALargeCanvasWithoutDeepRecursion) {
  Canvas canvas;
  ASSERT_TRUE(canvas.create(3000, 2000));
  floodFill(canvas, 1, 1, {7, 7, 7, 7});
  EXPECT_EQ(canvas.at(2999, 1999), (RgbaPixel{7, 7, 7, 7}));
}

TEST(PictureModes, ReplaceAndFilterUseOpacityTimesAlpha) {
  Canvas picture;
  ASSERT_TRUE(picture.create(2, 1, {10, 20, 30, 200}));
  picture.at(1, 0) = {255, 0, 0, 255};
  Canvas canvas;
  ASSERT_TRUE(canvas.create(2, 1, {99, 99, 99, 99}));
  drawPictureReplacing(canvas, picture, 128);
  EXPECT_EQ(canvas.at(0, 0), (RgbaPixel{10, 20, 30, 100})) << "128 * 200 / 255";
  EXPECT_EQ(canvas.at(1, 0), (RgbaPixel{255, 0, 0, 128}));
  drawPictureReplacing(canvas, picture, 255);
  EXPECT_EQ(canvas.at(0, 0), (RgbaPixel{10, 20, 30, 200})) << "opacity 255 copies exactly";

  picture.setDepth(24);  // no alpha: the opacity is the alpha
  drawPictureReplacing(canvas, picture, 77);
  EXPECT_EQ(canvas.at(0, 0).a, 77);
  drawPictureFiltered(canvas, picture, 50, greyFilter);
  EXPECT_EQ(canvas.at(1, 0), (RgbaPixel{76, 76, 76, 50}));
}

TEST(CanvasCreate, RefusesEmptyAndOversizedCanvases) {
  Canvas canvas;
  EXPECT_FALSE(canvas.create(0, 10));
  EXPECT_FALSE(canvas.create(10, -1));
  EXPECT_FALSE(canvas.create(40000, 40000));
  EXPECT_TRUE(canvas.empty());
  EXPECT_TRUE(canvas.create(1, 1));
  EXPECT_EQ(canvas.depth(), 32);
}
