#include "pipeline/frame.h"

#include <gtest/gtest.h>

#include "pixel_support.h"
#include "settings/run_plan.h"

namespace {

ConversionSettings frameSettings(int32_t left, int32_t right, int32_t top, int32_t bottom) {
  ConversionSettings settings;
  settings.doFrame = 1;
  settings.frameLeft = left;
  settings.frameRight = right;
  settings.frameTop = top;
  settings.frameBottom = bottom;
  return settings;
}

constexpr RgbaPixel kWhite{255, 255, 255, 255};

}  // namespace

TEST(FrameShapes, SidesAreMitredPathTexts) {
  const FrameShapes shapes = frameShapes(100, 80, 10, 20, 5, 15);
  EXPECT_EQ(shapes.sides[0].pathText, "M 0 0 l 100 0 l -20 5 l -70 0 Z");
  EXPECT_EQ(shapes.sides[1].pathText, "M 100 0 l 0 80 l -20 -15 l 0 -60 Z");
  EXPECT_EQ(shapes.sides[2].pathText, "M 100 80 l -100 0 l 10 -15 l 70 0 Z");
  EXPECT_EQ(shapes.sides[3].pathText, "M 0 80 l 0 -80 l 10 5 l 0 60 Z");
  EXPECT_EQ(shapes.corners[1].x, 80);
  EXPECT_EQ(shapes.corners[2].y, 65);
  EXPECT_EQ(shapes.corners[2].color, FrameSide::kBottom);
  EXPECT_EQ(shapes.corners[3].color, FrameSide::kLeft);
}

TEST(ApplyFrame, LeftSideOnlyPaintsTheLeftColumns) {
  ConversionSettings settings = frameSettings(10, 0, 0, 0);
  settings.frameLeftColor = "FF0000";
  Bitmap image = applyFrame(solidBitmap(40, 30, 24, kWhite), 40, 30, planChain(settings).frame);
  ASSERT_TRUE(image);
  EXPECT_EQ(FreeImage_GetWidth(image.get()), 40u);
  EXPECT_EQ(FreeImage_GetHeight(image.get()), 30u);
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 12; ++x) {
      const RgbaPixel expected = x < 10 ? RgbaPixel{255, 0, 0, 255} : kWhite;
      ASSERT_EQ(pixelAt(image.get(), x, y), expected) << x << "," << y;
    }
  }
}

TEST(ApplyFrame, FourColoursMeetOnTheCornerDiagonals) {
  ConversionSettings settings = frameSettings(20, 20, 20, 20);
  settings.frameTopColor = "FF0000";
  settings.frameRightColor = "00FF00";
  settings.frameBottomColor = "0000FF";
  settings.frameLeftColor = "FFFF00";
  Bitmap image = applyFrame(solidBitmap(100, 100, 24, kWhite), 100, 100, planChain(settings).frame);
  ASSERT_TRUE(image);
  saveForEye(image.get(), "frame_four_colours");
  const RgbaPixel red{255, 0, 0, 255}, green{0, 255, 0, 255}, blue{0, 0, 255, 255},
      yellow{255, 255, 0, 255};
  struct Probe {
    int x, y;
    RgbaPixel expected;
    const char* where;
  };
  const Probe probes[] = {
      {15, 3, red, "top-left corner, above the diagonal"},
      {3, 15, yellow, "top-left corner, below the diagonal"},
      {84, 3, red, "top-right corner, top part"},
      {96, 15, green, "top-right corner, right part"},
      {96, 84, green, "bottom-right corner, right part"},
      {84, 96, blue, "bottom-right corner, bottom part"},
      {15, 96, blue, "bottom-left corner, bottom part"},
      {3, 84, yellow, "bottom-left corner, left part"},
      {50, 10, red, "top side"},
      {90, 50, green, "right side"},
      {50, 90, blue, "bottom side"},
      {10, 50, yellow, "left side"},
      {50, 50, kWhite, "inside"},
      {21, 21, kWhite, "just inside the corner"},
  };
  for (const Probe& p : probes) {
    EXPECT_EQ(pixelAt(image.get(), p.x, p.y), p.expected)
        << p.where << ": " << describe(pixelAt(image.get(), p.x, p.y));
  }
  // Seam pixels mix the two sides over the corner colour: never the image.
  for (int i = 0; i < 20; ++i) {
    EXPECT_FALSE(sameRgb(pixelAt(image.get(), i, i), kWhite)) << "seam at " << i;
  }
}

TEST(ApplyFrame, OpacityMakesTheFrameTranslucent) {
  ConversionSettings settings = frameSettings(8, 8, 8, 8);
  settings.frameOpacity = 128;
  Bitmap image = applyFrame(solidBitmap(50, 50, 24, kWhite), 50, 50, planChain(settings).frame);
  ASSERT_TRUE(image);
  saveForEye(image.get(), "frame_half_black");
  const RgbaPixel grey = pixelAt(image.get(), 25, 3);
  EXPECT_NEAR(grey.r, 127, 3) << describe(grey);
  EXPECT_EQ(grey.r, grey.g);
  EXPECT_EQ(pixelAt(image.get(), 25, 25), kWhite);

  settings.frameOpacity = 0;
  Bitmap unchanged = applyFrame(solidBitmap(50, 50, 32, {1, 2, 3, 4}), 50, 50, planChain(settings).frame);
  EXPECT_EQ(FreeImage_GetBPP(unchanged.get()), 24u);
  EXPECT_EQ(pixelAt(unchanged.get(), 2, 2), (RgbaPixel{1, 2, 3, 255}));
}

TEST(ApplyFrame, AlphaInputLeavesAs24Bit) {
  ConversionSettings settings = frameSettings(4, 4, 4, 4);
  settings.frameTopColor = "00FF00";
  Bitmap image = applyFrame(solidBitmap(20, 20, 32, {10, 20, 30, 0}), 20, 20, planChain(settings).frame);
  ASSERT_TRUE(image);
  EXPECT_EQ(FreeImage_GetBPP(image.get()), 24u);
  EXPECT_EQ(pixelAt(image.get(), 10, 10), (RgbaPixel{10, 20, 30, 255})) << "alpha dropped, colour kept";
  EXPECT_EQ(pixelAt(image.get(), 10, 1), (RgbaPixel{0, 255, 0, 255}));
}

TEST(ApplyFrame, NoFrameLeavesTheImageAlone) {
  ConversionSettings settings;
  Bitmap source = solidBitmap(5, 5, 32, {1, 2, 3, 4});
  FIBITMAP* raw = source.get();
  Bitmap image = applyFrame(std::move(source), 5, 5, planChain(settings).frame);
  EXPECT_EQ(image.get(), raw);
}

TEST(ApplyFrame, OddWidthsNeitherCrashNorResize) {
  const int32_t cases[][4] = {{50, 50, 50, 50}, {-5, 3, -7, 2}, {1000000, 0, 0, 1000000},
                              {10, 10, 10, 10}};
  for (const auto& w : cases) {
    ConversionSettings settings = frameSettings(w[0], w[1], w[2], w[3]);
    settings.frameLeftColor = "12";  // not six characters: black
    Bitmap image = applyFrame(solidBitmap(10, 6, 24, kWhite), 10, 6, planChain(settings).frame);
    ASSERT_TRUE(image) << w[0];
    EXPECT_EQ(FreeImage_GetWidth(image.get()), 10u);
    EXPECT_EQ(FreeImage_GetHeight(image.get()), 6u);
  }
  Bitmap tiny = applyFrame(solidBitmap(1, 1, 24, kWhite), 1, 1, planChain(frameSettings(1, 1, 1, 1)).frame);
  ASSERT_TRUE(tiny);
}
