#include "pipeline/resize.h"

#include <gtest/gtest.h>

#include <climits>

#include "pipeline/image_probe.h"
#include "settings/run_plan.h"

using namespace pipeline_test;

namespace {

constexpr uint8_t kPixels = 0;
constexpr uint8_t kPercent = 1;

ConversionSettings resizeTo(int32_t width, int32_t height, uint8_t unit = kPixels) {
  ConversionSettings settings;
  settings.doResize = 1;
  settings.resizeWidth = width;
  settings.resizeHeight = height;
  settings.resizeWidthUnit = unit;
  settings.resizeHeightUnit = unit;
  settings.keepAspectRatio = 0;
  return settings;
}

struct Outcome {
  bool present = false;
  bool untouched = false;
  unsigned width = 0;
  unsigned height = 0;
};

Outcome run(int width, int height, const ConversionSettings& settings) {
  Bitmap image = makeImage(width, height, 24, {10, 20, 30});
  FIBITMAP* before = image.get();
  Bitmap result = resizeImage(std::move(image), width, height, planChain(settings).resize);
  Outcome outcome;
  outcome.present = static_cast<bool>(result);
  outcome.untouched = result.get() == before;
  if (result) {
    outcome.width = FreeImage_GetWidth(result.get());
    outcome.height = FreeImage_GetHeight(result.get());
  }
  return outcome;
}

}  // namespace

TEST(TargetSize, PercentRoundsHalvesToEven) {
  struct Case {
    int32_t value;
    uint8_t unit;
    int32_t current;
    int32_t expected;
  } cases[] = {
      {50, kPercent, 5, 2},    {50, kPercent, 7, 4},     {33, kPercent, 100, 33},
      {50, kPercent, 3, 2},    {50, kPercent, 9, 4},     {150, kPercent, 3, 4},
      {51, kPercent, 5, 3},    {49, kPercent, 7, 3},     {200, kPercent, 640, 1280},
      {1, kPercent, 10, 0},    {-50, kPercent, 8, -4},   {800, kPixels, 5, 800},
      {0, kPixels, 5, 0},      {50, 2, 100, 0},          {50, 255, 100, 0},
      // Absurd requests saturate instead of overflowing; FreeImage refuses them later.
      {INT32_MAX, kPercent, 1000, INT32_MAX}, {INT32_MIN, kPercent, 1000, INT32_MIN},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(targetSize(c.value, static_cast<SizeUnit>(c.unit), c.current), c.expected)
        << c.value << " unit " << int(c.unit) << " of " << c.current;
  }
}

TEST(ResizeFilter, MapsKeywordCodesToFreeImageFilters) {
  const FREE_IMAGE_FILTER expected[] = {FILTER_BOX,     FILTER_BILINEAR,   FILTER_BSPLINE,
                                        FILTER_BICUBIC, FILTER_CATMULLROM, FILTER_LANCZOS3,
                                        FILTER_BICUBIC};
  for (uint8_t code = 0; code < 7; ++code) EXPECT_EQ(resizeFilter(static_cast<ResizeFilter>(code)), expected[code]) << int(code);
  EXPECT_EQ(resizeFilter(static_cast<ResizeFilter>(255)), FILTER_BICUBIC);
}

TEST(ResizeImage, FinalSizeRules) {
  struct Case {
    const char* name;
    int width, height;
    ConversionSettings settings;
    Outcome expected;
  };
  auto keep = [](ConversionSettings s) { s.keepAspectRatio = 1; return s; };
  auto large = [](ConversionSettings s) { s.resizeType = 1; return s; };
  auto off = [](ConversionSettings s) { s.doResize = 0; return s; };
  const Case cases[] = {
      {"keep landscape uses the width", 1920, 1080, keep(resizeTo(800, 123)), {true, false, 800, 450}},
      {"keep portrait uses the height", 1080, 1920, keep(resizeTo(123, 800)), {true, false, 450, 800}},
      {"keep square uses the width", 50, 50, keep(resizeTo(20, 40)), {true, false, 20, 20}},
      {"keep ratio in single precision", 6, 5, keep(resizeTo(9, 1)), {true, false, 9, 7}},
      {"keep rounds halves away from zero", 4, 2, keep(resizeTo(5, 1)), {true, false, 5, 3}},
      {"no keep takes both", 1920, 1080, resizeTo(800, 123), {true, false, 800, 123}},
      {"percent halves", 5, 7, resizeTo(50, 50, kPercent), {true, false, 2, 4}},
      {"large images: smaller both ways", 640, 480, large(resizeTo(800, 600)), {true, true, 640, 480}},
      {"large images: just smaller", 799, 599, large(resizeTo(800, 600)), {true, true, 799, 599}},
      {"large images: wider", 1024, 480, large(resizeTo(800, 600)), {true, false, 800, 600}},
      {"large images: width reached", 800, 480, large(resizeTo(800, 600)), {true, false, 800, 600}},
      {"all images enlarge", 640, 480, resizeTo(800, 600), {true, false, 800, 600}},
      {"target equals size", 64, 32, resizeTo(64, 32), {true, true, 64, 32}},
      {"percent 100", 64, 32, resizeTo(100, 100, kPercent), {true, true, 64, 32}},
      {"width rounds to 0", 10, 10, resizeTo(1, 50, kPercent), {true, true, 10, 10}},
      {"negative height", 10, 10, resizeTo(5, -5), {true, true, 10, 10}},
      {"unknown unit", 10, 10, resizeTo(5, 5, 2), {true, true, 10, 10}},
      {"switched off", 10, 10, off(resizeTo(5, 5)), {true, true, 10, 10}},
  };
  for (const Case& c : cases) {
    Outcome got = run(c.width, c.height, c.settings);
    EXPECT_EQ(got.present, c.expected.present) << c.name;
    EXPECT_EQ(got.untouched, c.expected.untouched) << c.name;
    EXPECT_EQ(got.width, c.expected.width) << c.name;
    EXPECT_EQ(got.height, c.expected.height) << c.name;
  }
}

TEST(ResizeImage, TargetEqualToTheSizeDoesNothingWhateverTheFilter) {
  for (uint8_t filter = 0; filter < 8; ++filter) {
    ConversionSettings settings = resizeTo(64, 32);
    settings.resizeAlgorithm = filter;
    EXPECT_TRUE(run(64, 32, settings).untouched) << int(filter);
  }
}

TEST(ResizeImage, SizesFreeImageCannotMakeFailTheFileCleanly) {
  struct Case {
    const char* name;
    int width, height;
    ConversionSettings settings;
  };
  auto keep = [](ConversionSettings s) { s.keepAspectRatio = 1; return s; };
  const Case cases[] = {
      {"very wide to width 1", 1000, 1, keep(resizeTo(1, 1))},
      {"very tall to height 1", 1, 1000, keep(resizeTo(1, 1))},
      {"wide, 1 percent", 300, 1, keep(resizeTo(1, 100, kPercent))},
      {"absurd percent", 1000, 2, resizeTo(INT32_MAX, 100, kPercent)},
      {"absurd pixels", 4, 2, resizeTo(INT32_MAX, 1)},
  };
  for (const Case& c : cases) {
    Outcome got = run(c.width, c.height, c.settings);
    EXPECT_FALSE(got.present) << c.name;
  }
  EXPECT_FALSE(resizeImage(Bitmap(), 10, 10, planChain(resizeTo(5, 5)).resize));
}

TEST(ResizeImage, BoxFilterHalvesBlocksExactly) {
  // Four 2 x 2 blocks become four pixels of the same colours.
  const Pixel colors[2][2] = {{{255, 0, 0}, {0, 255, 0}}, {{0, 0, 255}, {255, 255, 255}}};
  Bitmap image = makeImage(4, 4, 24);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) setPixel(image.get(), x, y, colors[y / 2][x / 2]);
  ConversionSettings settings = resizeTo(50, 50, kPercent);
  settings.resizeAlgorithm = 0;  // BOX
  Bitmap half = resizeImage(std::move(image), 4, 4, planChain(settings).resize);
  ASSERT_TRUE(half);
  PngReadBack png = readBackThroughPng(half.get());
  ASSERT_TRUE(png.ok);
  ASSERT_EQ(png.width, 2);
  ASSERT_EQ(png.height, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) EXPECT_EQ(png.at(x, y), colors[y][x]) << toString(png.at(x, y));
}

TEST(ResizeImage, WideAndFloatTexturesKeepTheirType) {
  for (FREE_IMAGE_TYPE type : {FIT_RGB16, FIT_RGBA16, FIT_RGBF, FIT_RGBAF}) {
    Bitmap result = resizeImage(adoptBitmap(FreeImage_AllocateT(type, 8, 6)), 8, 6, planChain(resizeTo(4, 3)).resize);
    ASSERT_TRUE(result) << type;
    EXPECT_EQ(FreeImage_GetImageType(result.get()), type);
    EXPECT_EQ(FreeImage_GetWidth(result.get()), 4u) << type;
    EXPECT_EQ(FreeImage_GetHeight(result.get()), 3u) << type;
  }
}
