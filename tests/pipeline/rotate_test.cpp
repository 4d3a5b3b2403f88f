#include "pipeline/rotate.h"

#include <gtest/gtest.h>

#include "pipeline/background_color.h"
#include "pipeline/image_probe.h"
#include "settings/run_plan.h"

using namespace pipeline_test;

namespace {

constexpr Pixel kRed{255, 0, 0, 255};
constexpr Pixel kGreen{0, 255, 0, 255};
constexpr Pixel kBlue{0, 0, 255, 255};
constexpr Pixel kWhite{255, 255, 255, 255};
constexpr Pixel kGrey{90, 90, 90, 255};
constexpr Pixel kBlack{0, 0, 0, 255};

ConversionSettings rotation(int32_t angle, uint8_t type = 0, std::string background = "000000") {
  ConversionSettings settings;
  settings.doRotation = 1;
  settings.rotationAngle = angle;
  settings.rotationType = type;
  settings.rotationBackColor = std::move(background);
  return settings;
}

}  // namespace

TEST(RotateImage, QuarterTurnCarriesCornersCounterClockwise) {
  Bitmap image = makeImage(200, 100, 24, kGrey);
  setPixel(image.get(), 0, 0, kRed);      // top left
  setPixel(image.get(), 199, 0, kGreen);  // top right
  setPixel(image.get(), 0, 99, kBlue);    // bottom left
  setPixel(image.get(), 199, 99, kWhite); // bottom right
  Bitmap turned = rotateImage(std::move(image), planChain(rotation(90)).rotate);
  ASSERT_TRUE(turned);
  PngReadBack png = readBackThroughPng(turned.get());
  ASSERT_TRUE(png.ok);
  EXPECT_EQ(png.width, 100);
  EXPECT_EQ(png.height, 200);
  // A quarter turn to the left: top right goes to top left, top left to bottom left.
  EXPECT_EQ(png.at(0, 0), kGreen) << toString(png.at(0, 0));
  EXPECT_EQ(png.at(0, 199), kRed) << toString(png.at(0, 199));
  EXPECT_EQ(png.at(99, 199), kBlue) << toString(png.at(99, 199));
  EXPECT_EQ(png.at(99, 0), kWhite) << toString(png.at(99, 0));
  EXPECT_EQ(png.at(50, 100), kGrey);
}

TEST(RotateImage, FortyFiveDegreesGrowsCanvasWithBackgroundCorners) {
  struct Case {
    const char* text;
    Pixel corner;
  } cases[] = {{"FF0000", kRed},         {"F00", kBlack},          {"00ff80", {0, 255, 128, 255}},
               {"FF00001", kBlack},      {"", kBlack},             {"G0FFzz", {0, 255, 0, 255}},
               {"\xC3\x84" "FF00", kBlack}};  // five characters, six bytes
  for (const Case& c : cases) {
    Bitmap turned = rotateImage(makeImage(20, 20, 24, kWhite), planChain(rotation(45, 0, c.text)).rotate);
    ASSERT_TRUE(turned) << c.text;
    const int width = static_cast<int>(FreeImage_GetWidth(turned.get()));
    const int height = static_cast<int>(FreeImage_GetHeight(turned.get()));
    EXPECT_GE(width, 28) << c.text;  // 20 * sqrt(2)
    EXPECT_GE(height, 28) << c.text;
    EXPECT_EQ(getPixel(turned.get(), 0, 0), c.corner) << c.text;
    EXPECT_EQ(getPixel(turned.get(), width - 1, height - 1), c.corner) << c.text;
    EXPECT_EQ(getPixel(turned.get(), width / 2, height / 2), kWhite) << c.text;
  }
  // The headline case once more through an independent PNG reader.
  Bitmap turned = rotateImage(makeImage(20, 20, 24, kWhite), planChain(rotation(45, 0, "FF0000")).rotate);
  PngReadBack png = readBackThroughPng(turned.get());
  ASSERT_TRUE(png.ok);
  EXPECT_EQ(png.at(0, 0), kRed);
  EXPECT_EQ(png.at(png.width - 1, 0), kRed);
  EXPECT_EQ(png.at(png.width / 2, png.height / 2), kWhite);
}

TEST(RotateImage, CornersOfA32BitImageAreTransparent) {
  Bitmap turned = rotateImage(makeImage(20, 20, 32, kWhite), planChain(rotation(45, 0, "0000FF")).rotate);
  ASSERT_TRUE(turned);
  EXPECT_EQ(FreeImage_GetBPP(turned.get()), 32u);
  PngReadBack png = readBackThroughPng(turned.get());
  ASSERT_TRUE(png.ok);
  EXPECT_EQ(png.mode, "RGBA");
  EXPECT_EQ(png.at(0, 0), (Pixel{0, 0, 255, 0})) << toString(png.at(0, 0));
  EXPECT_EQ(png.at(png.width / 2, png.height / 2), kWhite);
}

TEST(RotateImage, AnglesOutsideTheOpenWindowChangeNothing) {
  struct Case {
    int32_t angle;
    uint8_t doRotation;
  } cases[] = {{0, 1}, {360, 1}, {-90, 1}, {720, 1}, {-1, 1}, {90, 0}};
  for (const Case& c : cases) {
    Bitmap image = makeImage(6, 4, 8, {77});
    FIBITMAP* before = image.get();
    ConversionSettings settings = rotation(c.angle);
    settings.doRotation = c.doRotation;
    Bitmap result = rotateImage(std::move(image), planChain(settings).rotate);
    EXPECT_EQ(result.get(), before) << c.angle << " on=" << int(c.doRotation);
    EXPECT_EQ(FreeImage_GetBPP(result.get()), 8u) << c.angle;
    EXPECT_EQ(FreeImage_GetWidth(result.get()), 6u) << c.angle;
  }
  // The boundaries just inside the window do turn.
  for (int32_t angle : {1, 359}) {
    Bitmap result = rotateImage(makeImage(6, 4, 24), planChain(rotation(angle)).rotate);
    ASSERT_TRUE(result);
    EXPECT_GT(FreeImage_GetWidth(result.get()), 6u) << angle;
  }
}

TEST(RotateImage, DepthRuleBeforeTurning) {
  struct Case {
    int bpp;
    unsigned expected;
  } cases[] = {{1, 24}, {4, 24}, {8, 24}, {16, 24}, {24, 24}, {32, 32}};
  for (uint8_t type : {0, 1}) {
    for (const Case& c : cases) {
      Bitmap result = rotateImage(makeImage(8, 6, c.bpp), planChain(rotation(180, type)).rotate);
      ASSERT_TRUE(result) << c.bpp << " type " << int(type);
      EXPECT_EQ(FreeImage_GetBPP(result.get()), c.expected) << c.bpp << " type " << int(type);
    }
  }
  for (FREE_IMAGE_TYPE type : {FIT_RGB16, FIT_RGBA16}) {
    Bitmap result = rotateImage(makeWideImage(type, 8, 6), planChain(rotation(90)).rotate);
    ASSERT_TRUE(result) << type;
    EXPECT_EQ(FreeImage_GetBPP(result.get()), 24u) << type;
    EXPECT_EQ(getPixel(result.get(), 0, 0), kWhite) << type;
  }
  // An unknown method still widens the image but does not turn it.
  Bitmap odd = rotateImage(makeImage(8, 6, 8), planChain(rotation(90, 7)).rotate);
  EXPECT_EQ(FreeImage_GetBPP(odd.get()), 24u);
  EXPECT_EQ(FreeImage_GetWidth(odd.get()), 8u);
  // A palette image keeps its colours through the widening.
  Bitmap grey = rotateImage(makeImage(8, 6, 8, {200}), planChain(rotation(90)).rotate);
  EXPECT_EQ(getPixel(grey.get(), 2, 2), (Pixel{200, 200, 200, 255}));
}

TEST(RotateImage, AdvancedTurnsAboutTheHalfPixelCentreAndKeepsTheSize) {
  // Pixel values encode their position; FreeImage puts pixel centres on whole
  // coordinates, so a centre of 2.5 on a 5 x 5 image maps x to 5 - x.
  Bitmap image = makeImage(5, 5, 24);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) setPixel(image.get(), x, y, {x * 10 + y + 1, 0, 0, 255});
  Bitmap turned = rotateImage(std::move(image), planChain(rotation(180, 1)).rotate);
  ASSERT_TRUE(turned);
  EXPECT_EQ(FreeImage_GetWidth(turned.get()), 5u);
  EXPECT_EQ(FreeImage_GetHeight(turned.get()), 5u);
  for (int y = 1; y < 5; ++y) {
    for (int x = 1; x < 5; ++x) {
      EXPECT_EQ(getPixel(turned.get(), x, y).r, (5 - x) * 10 + (5 - y) + 1) << x << "," << y;
    }
  }
  // The uncovered row and column are filled from the picture, not with black.
  for (int i = 0; i < 5; ++i) {
    EXPECT_NE(getPixel(turned.get(), 0, i).r, 0) << i;
    EXPECT_NE(getPixel(turned.get(), i, 0).r, 0) << i;
  }
  Bitmap wide = rotateImage(makeImage(6, 4, 32), planChain(rotation(30, 1)).rotate);
  EXPECT_EQ(FreeImage_GetWidth(wide.get()), 6u);
  EXPECT_EQ(FreeImage_GetHeight(wide.get()), 4u);
  EXPECT_EQ(FreeImage_GetBPP(wide.get()), 32u);
}

TEST(RotateImage, NoImageStaysNoImage) {
  EXPECT_FALSE(rotateImage(Bitmap(), planChain(rotation(90)).rotate));
}

TEST(RotationBackground, ReservedByteIsZero) {
  RGBQUAD color = rotationBackground("102030");
  EXPECT_EQ(color.rgbRed, 0x10);
  EXPECT_EQ(color.rgbGreen, 0x20);
  EXPECT_EQ(color.rgbBlue, 0x30);
  EXPECT_EQ(color.rgbReserved, 0);
}
