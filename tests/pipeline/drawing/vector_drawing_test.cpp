#include "pipeline/drawing/vector_drawing.h"

#include <gtest/gtest.h>

#include "../pixel_support.h"

TEST(PathText, ReadsAbsoluteMovesAndRelativeLines) {
  using K = PathStep::Kind;
  const auto steps = parsePathText("M 10 20 l 5 0  l -2.5 4 Z");
  ASSERT_TRUE(steps);
  const std::vector<PathStep> expected = {
      {K::kMove, 10, 20}, {K::kLine, 15, 20}, {K::kLine, 12.5, 24}, {K::kClose, 10, 20}};
  EXPECT_EQ(*steps, expected);
}

TEST(PathText, RefusesMalformedTexts) {
  for (const char* text : {"M 1", "l 1 2 Z", "M 1 x Z", "Q 1 2", "M 1 2 l 3", "Z", "M nan 1"}) {
    EXPECT_FALSE(parsePathText(text)) << '"' << text << '"';
  }
  EXPECT_TRUE(parsePathText(""));
}

TEST(VectorDraw, FillsRectanglesAndEvenOddPaths) {
  Canvas canvas;
  ASSERT_TRUE(canvas.create(40, 40));
  const bool drawn = vectorDraw(canvas, [](VectorPainter& painter) {
    painter.setSourceColor({255, 0, 0, 255});
    painter.fillRectangle(0, 0, 10, 40);
    // Two nested squares in one path: the even-odd rule leaves the inner one empty.
    painter.setSourceColor({0, 0, 255, 255});
    EXPECT_TRUE(painter.fillPath("M 15 5 l 20 0 l 0 20 l -20 0 Z M 20 10 l 10 0 l 0 10 l -10 0 Z"));
  });
  ASSERT_TRUE(drawn);
  EXPECT_EQ(canvas.at(5, 39), (RgbaPixel{255, 0, 0, 255}));
  EXPECT_EQ(canvas.at(12, 20), (RgbaPixel{}));
  EXPECT_EQ(canvas.at(17, 7), (RgbaPixel{0, 0, 255, 255}));
  EXPECT_EQ(canvas.at(25, 15).a, 0) << "inside the hole";
}

TEST(VectorDraw, KeepsStraightAlphaAndExistingPixels) {
  Canvas canvas;
  ASSERT_TRUE(canvas.create(10, 10, {0, 200, 0, 255}));
  canvas.at(9, 9) = {10, 20, 30, 40};
  vectorDraw(canvas, [](VectorPainter& painter) {
    painter.setSourceColor({255, 255, 255, 128});
    painter.fillRectangle(0, 0, 5, 10);
  });
  const RgbaPixel half = canvas.at(2, 2);
  EXPECT_EQ(half.a, 255);
  EXPECT_NEAR(half.r, 128, 1);
  EXPECT_NEAR(half.g, 228, 1);
  EXPECT_EQ(canvas.at(7, 7), (RgbaPixel{0, 200, 0, 255}));
  EXPECT_EQ(canvas.at(9, 9).r, 10) << "an untouched faint pixel keeps its exact value";
  EXPECT_EQ(canvas.at(9, 9).a, 40);
}

TEST(VectorDraw, TilesOfALargeCanvasJoinSeamlessly) {
  Canvas canvas;
  ASSERT_TRUE(canvas.create(5000, 3));
  vectorDraw(canvas, [](VectorPainter& painter) {
    painter.setSourceColor({0, 0, 0, 255});
    painter.fillPath("M 4090 0 l 10 0 l 0 3 l -10 0 Z");  // crosses the tile edge at 4096
  });
  for (int x = 4088; x < 4102; ++x) {
    const bool inside = x >= 4090 && x < 4100;
    EXPECT_EQ(canvas.at(x, 1).a, inside ? 255 : 0) << "column " << x;
  }
}
