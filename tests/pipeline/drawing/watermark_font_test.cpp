#include "pipeline/drawing/watermark_font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "pipeline/drawing/compositing.h"
#include "pipeline/drawing/raster_text.h"
#include "pipeline/drawing/vector_drawing.h"
#include "../pixel_support.h"
#include "platform/files.h"
#include "settings/run_plan.h"
#include "support/dds_builder.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

std::unique_ptr<WatermarkFont> fontFor(const std::string& name, int32_t size, uint8_t style = 0,
                                       uint8_t effect = 0) {
  ConversionSettings settings;
  settings.wmFont = name;
  settings.wmFontSize = size;
  settings.wmFontStyle = style;
  settings.wmFontEffect = effect;
  return createWatermarkFont(planWatermarkFont(settings));
}

int countAlpha(const Canvas& canvas, int x0, int y0, int x1, int y1) {
  int count = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) count += canvas.at(x, y).a != 0;
  return count;
}

}  // namespace

TEST(FontPixelHeight, PointsAt96DpiRoundedToNearest) {
  const std::pair<int32_t, int32_t> cases[] = {{14, 19}, {12, 16}, {9, 12}, {1, 1}, {10, 13},
                                               {0, 1},   {-12, 16}, {1000000, 16384}};
  for (auto [points, pixels] : cases) EXPECT_EQ(fontPixelHeight(points), pixels) << points << " pt";
}

TEST(WatermarkFontCreate, ArialResolvesToAMetricCompatibleFace) {
  auto font = fontFor("Arial", 14);
  ASSERT_TRUE(font);
  EXPECT_EQ(font->familyName(), "Liberation Sans");
  EXPECT_EQ(font->pixelHeight(), 19);
  EXPECT_FALSE(font->synthesizeBold());
}

TEST(WatermarkFontCreate, UnknownNameFallsBackToSomeFace) {
  for (const char* name : {"No Such Face 12345", "", "\xff\xfe"}) {
    auto font = fontFor(name, 14);
    ASSERT_TRUE(font) << '"' << name << '"';
    EXPECT_GT(measureRasterText(*font, "Hello").width, 0) << '"' << name << '"';
  }
}

// Where fontconfig offers no face at all, the run stops before the first
// file with one Error line: no file leaves without its watermark.
TEST(WatermarkFontCreate, NoFaceAtAllStopsTheRunBeforeAnyFile) {
  TempDir dir;
  ASSERT_TRUE(writeBinaryFile(dir.path() + "fonts.conf", "<?xml version=\"1.0\"?><fontconfig/>"));
  const auto black = [](int, int) { return Rgba{}; };
  for (const char* name : {"a.dds", "b.dds"}) {
    ASSERT_TRUE(writeBinaryFile(dir.path() + name,
                                buildUncompressedDds(4, 4, 32, kMasksA8R8G8B8, black)));
  }
  setenv("FONTCONFIG_FILE", (dir.path() + "fonts.conf").c_str(), 1);
  const ProgramResult result = runProgramWith(
      {"-i", dir.path(), "-o", dir.path(), "-c", "png", "--wm-text=Hi", "--threads=2"});
  unsetenv("FONTCONFIG_FILE");
  const std::vector<std::string> lines = outputLines(result.out);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "Error: Invalid watermark font"), 1) << result.out;
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "Importing..."), 0) << result.out;
  EXPECT_FALSE(pathExists(dir.path() + "a.png"));
  EXPECT_FALSE(pathExists(dir.path() + "b.png"));
}

TEST(RasterText, MeasuresWholePixels) {
  auto font = fontFor("Arial", 14);
  ASSERT_TRUE(font);
  const TextSize hello = measureRasterText(*font, "Hello");
  const TextSize empty = measureRasterText(*font, "");
  const TextSize spaced = measureRasterText(*font, "Hello  ");
  EXPECT_GT(hello.width, 20);
  EXPECT_LT(hello.width, 80);
  EXPECT_GE(hello.height, 19);
  EXPECT_LE(hello.height, 26);
  EXPECT_EQ(empty.width, 0);
  EXPECT_EQ(empty.height, hello.height);
  EXPECT_GT(spaced.width, hello.width) << "trailing spaces count";
  auto bold = fontFor("Arial", 14, 1);
  ASSERT_TRUE(bold);
  EXPECT_GT(measureRasterText(*bold, "Hello Hello").width, measureRasterText(*font, "Hello Hello").width);
}

TEST(RasterText, DrawsMonochromeGlyphsInTheTextColour) {
  auto font = fontFor("Arial", 14);
  ASSERT_TRUE(font);
  Canvas canvas;
  ASSERT_TRUE(canvas.create(60, 30, {0, 0, 0, 255}));
  drawRasterText(canvas, *font, 2, 2, "Hi", {255, 0, 0, 255}, 255);
  int text = 0;
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 60; ++x) {
      const RgbaPixel p = canvas.at(x, y);
      // Monochrome: every pixel is either the background or the text colour.
      ASSERT_TRUE(p == (RgbaPixel{0, 0, 0, 255}) || p == (RgbaPixel{255, 0, 0, 255})) << describe(p);
      text += p.r == 255;
    }
  }
  EXPECT_GT(text, 20);
}

TEST(RasterText, CoverageRuleKeepsHighBackOpacity) {
  const RgbaPixel back{0, 0, 255, 100};
  EXPECT_EQ(rasterTextPixel(back, {255, 0, 0, 255}, 100, 0), back) << "no coverage";
  EXPECT_EQ(rasterTextPixel(back, {255, 0, 0, 255}, 100, 255), (RgbaPixel{255, 0, 0, 255}));
  EXPECT_EQ(rasterTextPixel(back, {255, 0, 0, 128}, 100, 255),
            sourceOver(back, {255, 0, 0, 128}, 255));
  const RgbaPixel opaqueBack{0, 0, 255, 200};
  const RgbaPixel kept = rasterTextPixel(opaqueBack, {255, 0, 0, 255}, 200, 255);
  EXPECT_EQ(kept, (RgbaPixel{255, 0, 0, 200})) << "back opacity above 191 stays";
}

TEST(RasterText, UnderlineAndStrikeOutDrawStrokes) {
  auto plain = fontFor("Arial", 20);
  auto underlined = fontFor("Arial", 20, 0, 1);
  auto struck = fontFor("Arial", 20, 0, 2);
  ASSERT_TRUE(plain && underlined && struck);
  auto draw = [&](const WatermarkFont& font) {
    Canvas canvas;
    EXPECT_TRUE(canvas.create(100, 40));
    drawRasterText(canvas, font, 0, 0, "ooo", {0, 0, 0, 255}, 0);
    return canvas;
  };
  const Canvas a = draw(*plain), b = draw(*underlined), c = draw(*struck);
  EXPECT_GT(countAlpha(b, 0, 0, 100, 40), countAlpha(a, 0, 0, 100, 40));
  EXPECT_GT(countAlpha(c, 0, 0, 100, 40), countAlpha(a, 0, 0, 100, 40));
}

TEST(VectorText, MeasuresRealWidthsAndDrawsAtTheTopLeft) {
  auto font = fontFor("Arial", 14);
  ASSERT_TRUE(font);
  Canvas canvas;
  ASSERT_TRUE(canvas.create(200, 60));
  double width = 0, spaced = 0;
  vectorDraw(canvas, [&](VectorPainter& painter) {
    painter.selectFont(*font);
    painter.setSourceColor({0, 128, 255, 255});
    width = painter.textWidth("Hello");
    spaced = painter.textWidth("Hello ");
    painter.moveTo(20, 30);
    painter.drawText("Hello\xff");  // invalid UTF-8 is drawn, not refused
  });
  EXPECT_GT(width, 20);
  EXPECT_GT(spaced, width);
  EXPECT_EQ(countAlpha(canvas, 0, 0, 200, 30), 0) << "nothing above the pen";
  EXPECT_EQ(countAlpha(canvas, 0, 0, 19, 60), 0) << "nothing left of the pen";
  EXPECT_GT(countAlpha(canvas, 20, 30, 200, 52), 30);
}
