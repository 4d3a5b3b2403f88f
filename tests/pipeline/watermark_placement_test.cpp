#include "pipeline/watermark_placement.h"

#include <gtest/gtest.h>

#include "pixel_support.h"
#include "settings/run_plan.h"

namespace {

constexpr RgbaPixel kWhite{255, 255, 255, 255};
constexpr RgbaPixel kRed{255, 0, 0, 255};

Placement at(uint8_t position, int32_t x, int32_t y, int32_t rotation = 0) {
  return {rotation, WatermarkBoundary::kImage, position, x, y};
}

// Bounding box of the pixels that differ from white.
struct Box {
  int left = -1, top = -1, right = -1, bottom = -1;  // right and bottom inclusive
};
Box changedBox(FIBITMAP* image) {
  Box box;
  for (int y = 0; y < static_cast<int>(FreeImage_GetHeight(image)); ++y) {
    for (int x = 0; x < static_cast<int>(FreeImage_GetWidth(image)); ++x) {
      if (pixelAt(image, x, y) == kWhite) continue;
      if (box.left < 0 || x < box.left) box.left = x;
      if (box.top < 0) box.top = y;
      box.right = std::max(box.right, x);
      box.bottom = y;
    }
  }
  return box;
}

}  // namespace

TEST(PlacementArea, FrameBoundaryNeedsAFrame) {
  ConversionSettings settings;
  settings.frameLeft = 5, settings.frameRight = 6, settings.frameTop = 7, settings.frameBottom = 8;
  auto area = placementArea(planChain(settings).watermark.frame, WatermarkBoundary::kFrame, 100, 80);
  EXPECT_EQ(area.width, 100) << "FRAME without a frame is IMAGE";
  settings.doFrame = 1;
  area = placementArea(planChain(settings).watermark.frame, WatermarkBoundary::kFrame, 100, 80);
  EXPECT_EQ(area.left, 5);
  EXPECT_EQ(area.top, 7);
  EXPECT_EQ(area.width, 89);
  EXPECT_EQ(area.height, 65);
  area = placementArea(planChain(settings).watermark.frame, WatermarkBoundary::kImage, 100, 80);
  EXPECT_EQ(area.left, 0);
  EXPECT_EQ(area.height, 80);
}

TEST(CropToFit, CutsSidesThatPassTheFarEdge) {
  const PlacementArea area{0, 0, 100, 80};
  struct Case {
    LayerExtent layer;
    Placement placement;
    LayerExtent expected;
  };
  const Case cases[] = {
      {{50, 20}, at(8, 10, 10), {50, 20}},
      {{90, 70}, at(8, 10, 10), {90, 70}},  // exactly fits
      {{91, 71}, at(8, 10, 10), {90, 70}},
      {{200, 20}, at(4, 10, 0), {90, 20}},   // the offset counts even when centred
      {{50, 20}, at(0, 100, 0), {0, 20}},    // nothing left
      {{120, 20}, at(0, -5, 0), {105, 20}},  // a negative offset allows more
  };
  for (const Case& c : cases) {
    const LayerExtent got = cropToFit(c.layer, area, c.placement);
    EXPECT_EQ(got.width, c.expected.width) << c.layer.width << "+" << c.placement.xOffset;
    EXPECT_EQ(got.height, c.expected.height) << c.layer.height << "+" << c.placement.yOffset;
  }
}

TEST(LayerPosition, NinePositions) {
  const PlacementArea area{5, 7, 100, 80};
  const LayerExtent layer{20, 10};
  const std::pair<int64_t, int64_t> expected[9] = {{8, 11},  {45, 11}, {82, 11}, {8, 42}, {45, 42},
                                                   {82, 42}, {8, 73},  {45, 73}, {82, 73}};
  for (uint8_t code = 0; code < 9; ++code) {
    const LayerPosition got = layerPosition(layer, area, at(code, 3, 4));
    EXPECT_EQ(got.x, expected[code].first) << "position " << int{code};
    EXPECT_EQ(got.y, expected[code].second) << "position " << int{code};
  }
  // Halves truncate toward zero, also when the layer is larger than the area.
  EXPECT_EQ(layerPosition({20, 10}, {0, 0, 101, 80}, at(4, 0, 0)).x, 40);
  EXPECT_EQ(layerPosition({21, 10}, {0, 0, 10, 80}, at(4, 0, 0)).x, -5);
}

TEST(PlaceWatermark, DefaultPlacementIsTenPixelsFromRightAndBottom) {
  ConversionSettings settings;
  Bitmap image = placeWatermark(solidBitmap(100, 80, 24, kWhite), solidBitmap(20, 10, 32, kRed),
                                100, 80, planChain(settings).watermark.frame,
                                planChain(settings).watermark.text.placement);
  ASSERT_TRUE(image);
  EXPECT_EQ(FreeImage_GetBPP(image.get()), 24u);
  const Box box = changedBox(image.get());
  EXPECT_EQ(box.left, 70);
  EXPECT_EQ(box.top, 60);
  EXPECT_EQ(box.right, 89);
  EXPECT_EQ(box.bottom, 69);
  EXPECT_EQ(pixelAt(image.get(), 75, 65), kRed);
}

TEST(PlaceWatermark, TranslucentLayerIsCompositedByItsAlpha) {
  ConversionSettings settings;
  Bitmap image =
      placeWatermark(solidBitmap(30, 30, 24, kWhite), solidBitmap(5, 5, 32, {0, 0, 0, 128}), 30, 30,
                     planChain(settings).watermark.frame, at(0, 0, 0));
  EXPECT_NEAR(pixelAt(image.get(), 2, 2).r, 127, 1);
}

TEST(PlaceWatermark, LayersThatCannotBePastedLeaveTheImage) {
  ConversionSettings settings;
  const Placement cases[] = {at(0, -1, 0), at(0, 0, -3), at(0, 100, 0), at(8, 0, 80),
                             at(2, 2000000000, 0)};
  for (const Placement& placement : cases) {
    Bitmap image = placeWatermark(solidBitmap(100, 80, 24, kWhite), solidBitmap(20, 10, 32, kRed),
                                  100, 80, planChain(settings).watermark.frame, placement);
    ASSERT_TRUE(image) << placement.xOffset << "," << placement.yOffset;
    EXPECT_EQ(changedBox(image.get()).left, -1) << placement.xOffset << "," << placement.yOffset;
  }
}

TEST(PlaceWatermark, FrameBoundaryPlacesInsideTheBand) {
  ConversionSettings settings;
  settings.doFrame = 1;
  settings.frameRight = 15, settings.frameBottom = 5;
  Placement placement = planChain(settings).watermark.text.placement;
  placement.boundary = WatermarkBoundary::kFrame;
  Bitmap image = placeWatermark(solidBitmap(100, 80, 24, kWhite), solidBitmap(20, 10, 32, kRed),
                                100, 80, planChain(settings).watermark.frame, placement);
  const Box box = changedBox(image.get());
  EXPECT_EQ(box.right, 100 - 15 - 10 - 1);
  EXPECT_EQ(box.bottom, 80 - 5 - 10 - 1);
}

TEST(PlaceWatermark, RotationTurnsOnlyBetweenZeroAnd360) {
  ConversionSettings settings;
  struct Case {
    int32_t rotation;
    int right, bottom;
  };
  // A 40 x 10 layer at the top-left corner.
  const Case cases[] = {{0, 39, 9}, {360, 39, 9}, {-90, 39, 9}, {90, 9, 39}, {270, 9, 39}};
  for (const Case& c : cases) {
    Bitmap image =
        placeWatermark(solidBitmap(100, 80, 24, kWhite), solidBitmap(40, 10, 32, kRed), 100, 80,
                       planChain(settings).watermark.frame, at(0, 0, 0, c.rotation));
    const Box box = changedBox(image.get());
    EXPECT_EQ(box.right, c.right) << "rotation " << c.rotation;
    EXPECT_EQ(box.bottom, c.bottom) << "rotation " << c.rotation;
  }
}

TEST(PlaceWatermark, Rotation45GrowsTheLayerWithTransparentCorners) {
  ConversionSettings settings;
  Bitmap image = placeWatermark(solidBitmap(100, 100, 24, kWhite), solidBitmap(40, 40, 32, kRed),
                                100, 100, planChain(settings).watermark.frame, at(0, 0, 0, 45));
  saveForEye(image.get(), "placement_rotated_45");
  const Box box = changedBox(image.get());
  EXPECT_GE(box.right, 54) << "the diagonal of a 40-pixel square is 56.6";
  EXPECT_GE(box.bottom, 54);
  EXPECT_EQ(pixelAt(image.get(), 2, 2), kWhite) << "corner stays transparent";
  EXPECT_EQ(pixelAt(image.get(), 54, 2), kWhite);
  EXPECT_EQ(pixelAt(image.get(), 28, 28), kRed);
}

TEST(PlaceWatermark, OpaqueLayerKeepsExactColours) {
  ConversionSettings settings;
  Bitmap image = placeWatermark(solidBitmap(30, 30, 24, {0, 0, 0, 255}),
                                solidBitmap(5, 5, 32, {255, 254, 1, 255}), 30, 30,
                                planChain(settings).watermark.frame, at(0, 0, 0));
  EXPECT_EQ(pixelAt(image.get(), 2, 2), (RgbaPixel{255, 254, 1, 255}))
      << "the paste must copy, not blend: " << describe(pixelAt(image.get(), 2, 2));
}
