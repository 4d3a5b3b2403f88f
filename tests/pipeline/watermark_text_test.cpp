#include "pipeline/watermark_text.h"

#include <gtest/gtest.h>

#include "pipeline/drawing/watermark_font.h"
#include "pipeline/frame.h"
#include "pipeline/watermark.h"
#include "pixel_support.h"
#include "settings/run_plan.h"
#include "support/plan_support.h"

namespace {

constexpr RgbaPixel kWhite{255, 255, 255, 255};

struct Box {
  int left = -1, top = -1, right = -1, bottom = -1;  // inclusive
  int width() const { return right - left + 1; }
  int height() const { return bottom - top + 1; }
};

Box changedBox(FIBITMAP* image, RgbaPixel background) {
  Box box;
  for (int y = 0; y < static_cast<int>(FreeImage_GetHeight(image)); ++y) {
    for (int x = 0; x < static_cast<int>(FreeImage_GetWidth(image)); ++x) {
      if (pixelAt(image, x, y) == background) continue;
      if (box.left < 0 || x < box.left) box.left = x;
      if (box.top < 0) box.top = y;
      box.right = std::max(box.right, x);
      box.bottom = y;
    }
  }
  return box;
}

// A text watermark on an opaque black block, so the block's extent shows.
ConversionSettings textSettings(const std::string& text, uint8_t antialiasing) {
  ConversionSettings settings;
  settings.watermarkKind = 1;
  settings.wmText = text;
  settings.wmFontColor = "FF0000";
  settings.wmBackColor = "000000";
  settings.wmBackOpacity = 255;
  settings.wmTextAntialiasing = antialiasing;
  return settings;
}

Bitmap watermarked(const ConversionSettings& settings, int width = 300, int height = 120,
                   RgbaPixel background = kWhite, int bpp = 24) {
  auto font = createWatermarkFont(planWatermarkFont(settings));
  EXPECT_TRUE(font);
  FileJob job;
  return applyWatermark(solidBitmap(width, height, bpp, background), width, height,
                        planChain(settings).watermark, expandWatermarkText(TestRun{settings, {}, job}),
                        font.get());
}

}  // namespace

TEST(SplitWatermarkLines, BreaksAtEolInAnyCase) {
  using Lines = std::vector<std::string>;
  const std::pair<const char*, Lines> cases[] = {
      {"abc", {"abc"}},
      {"one%EOL%two", {"one", "two"}},
      {"a%eol%", {"a", ""}},
      {"%Eol%%eOl%", {"", "", ""}},
      {"%eo%l", {"%eo%l"}},
      {"A%eol%B%EoL%C", {"A", "B", "C"}},
  };
  for (const auto& [text, lines] : cases) EXPECT_EQ(splitWatermarkLines(text), lines) << text;
}

TEST(TextBlockSize, AppliesMinimumLeadingAndPadding) {
  struct Case {
    std::vector<TextSize> lines;
    int32_t leading, padding;
    TextBlock expected;
    const char* name;
  };
  const Case cases[] = {
      {{{30, 16}, {50, 16}, {20, 16}}, -2, 0, {50, 44, 14}, "three lines, leading -2"},
      {{{30, 16}, {50, 16}, {20, 16}}, -2, 3, {56, 50, 14}, "padding on all sides"},
      {{{3, 8}, {4, 9}}, 0, 0, {10, 20, 10}, "several lines are at least 10 x 10"},
      {{{3, 8}}, 0, 0, {3, 8, 8}, "a single line has no minimum"},
      {{{30, 16}, {0, 16}}, 0, 0, {30, 32, 16}, "an empty last line still adds a step"},
      {{{0, 19}}, 0, 0, {0, 19, 19}, "empty text: zero width"},
      {{{2000000000, 16}}, 0, 2000000000, {INT32_MAX, INT32_MAX, 16}, "saturates"},
  };
  for (const Case& c : cases) {
    const TextBlock got = textBlockSize(c.lines, c.leading, c.padding);
    EXPECT_EQ(got.width, c.expected.width) << c.name;
    EXPECT_EQ(got.height, c.expected.height) << c.name;
    if (c.lines.size() > 1) {
      EXPECT_EQ(got.step, c.expected.step) << c.name;
    }
  }
}

TEST(AlignX, LeftCentreRight) {
  EXPECT_EQ(alignX(TextAlignment::kLeft, 50, 55, 4), 4);
  EXPECT_EQ(alignX(TextAlignment::kCenter, 50, 55, 4), 3) << "5 spare pixels: 2.5 rounds up";
  EXPECT_EQ(alignX(TextAlignment::kCenter, 50, 54, 4), 2);
  EXPECT_EQ(alignX(TextAlignment::kCenter, 60, 55, 4), -3) << "a half rounds away from zero";
  EXPECT_EQ(alignX(TextAlignment::kRight, 50, 55, 4), 1);
}

TEST(TextWatermark, DefaultPlacementIsTenPixelsFromTheCorner) {
  for (uint8_t antialiasing : {0, 1}) {
    Bitmap image = watermarked(textSettings("Hello", antialiasing));
    ASSERT_TRUE(image);
    const Box box = changedBox(image.get(), kWhite);
    EXPECT_EQ(box.right, 300 - 10 - 1) << "antialiasing " << int{antialiasing};
    EXPECT_EQ(box.bottom, 120 - 10 - 1) << "antialiasing " << int{antialiasing};
    EXPECT_EQ(pixelAt(image.get(), box.right, box.bottom), (RgbaPixel{0, 0, 0, 255}));
  }
}

TEST(TextWatermark, BlockHasTheMeasuredSizePlusPadding) {
  ConversionSettings settings = textSettings("Hello", 0);
  settings.wmTextPadding = 4;
  auto font = createWatermarkFont(planWatermarkFont(settings));
  ASSERT_TRUE(font);
  const TextSize size = measureRasterText(*font, "Hello");
  const Box box = changedBox(watermarked(settings).get(), kWhite);
  EXPECT_EQ(box.width(), size.width + 8);
  EXPECT_EQ(box.height(), size.height + 8);

  settings.wmText = "Hello%EOL%Hello";
  const Box twoLines = changedBox(watermarked(settings).get(), kWhite);
  EXPECT_EQ(twoLines.height(), 2 * size.height + 8) << "%EOL% gives a second line";
  settings.wmFontLeading = -3;
  settings.wmText = "Hello%eol%Hello%eol%";
  const Box threeLines = changedBox(watermarked(settings).get(), kWhite);
  EXPECT_EQ(threeLines.height(), size.height + 2 * (size.height - 3) + 8);
}

TEST(TextWatermark, BothPathsDrawTextInItsColourAndOpacity) {
  for (uint8_t antialiasing : {0, 1}) {
    for (int32_t opacity : {255, 128}) {
      ConversionSettings settings = textSettings("HHHH", antialiasing);
      settings.wmBackOpacity = 0;  // only the text shows
      settings.wmFontColor = "0000FF";
      settings.wmTextOpacity = opacity;
      settings.wmFontSize = 30;
      settings.wmFontStyle = 1;
      settings.wmTextPosition = 0;
      Bitmap image = watermarked(settings);
      saveForEye(image.get(), "text_path" + std::to_string(antialiasing) + "_opacity" +
                                  std::to_string(opacity));
      // The most blue pixel is the text colour at the text opacity over white.
      RgbaPixel strongest = kWhite;
      int touched = 0;
      for (int y = 0; y < 120; ++y) {
        for (int x = 0; x < 300; ++x) {
          const RgbaPixel p = pixelAt(image.get(), x, y);
          touched += !(p == kWhite);
          if (p.r < strongest.r) strongest = p;
        }
      }
      const int expectedRed = 255 - opacity;
      const std::string name = "antialiasing " + std::to_string(antialiasing) + ", opacity " +
                               std::to_string(opacity) + ": " + describe(strongest);
      EXPECT_GT(touched, 100) << name;
      EXPECT_NEAR(strongest.r, expectedRed, 2) << name;
      EXPECT_EQ(strongest.r, strongest.g) << name;
      // FreeImage's composite divides by 256, so a translucent 255 may come out 254.
      EXPECT_NEAR(strongest.b, 255, 1) << name;
    }
  }
}

TEST(TextWatermark, LeavesAs24BitEvenWithoutALayer) {
  ConversionSettings settings = textSettings("", 0);  // empty text: no block
  FileJob job;
  for (const WatermarkFont* font : {static_cast<const WatermarkFont*>(nullptr)}) {
    Bitmap image =
        applyWatermark(solidBitmap(20, 20, 32, {1, 2, 3, 0}), 20, 20, planChain(settings).watermark,
                       expandWatermarkText(TestRun{settings, {}, job}), font);
    ASSERT_TRUE(image);
    EXPECT_EQ(FreeImage_GetBPP(image.get()), 24u);
    EXPECT_EQ(pixelAt(image.get(), 5, 5), (RgbaPixel{1, 2, 3, 255}));
  }
  Bitmap empty = watermarked(settings, 20, 20, {1, 2, 3, 0}, 32);
  EXPECT_EQ(FreeImage_GetBPP(empty.get()), 24u);
  EXPECT_EQ(changedBox(empty.get(), {1, 2, 3, 255}).left, -1);
}

TEST(TextWatermark, OversizedTextsNeitherCrashNorHang) {
  const std::string longText(10000, 'W');
  for (uint8_t antialiasing : {0, 1}) {
    ConversionSettings settings = textSettings(longText, antialiasing);
    settings.wmTextPosition = 0;
    Bitmap image = watermarked(settings, 400, 300);
    ASSERT_TRUE(image);
    const Box box = changedBox(image.get(), kWhite);
    EXPECT_EQ(box.left, 10) << "the cropped block still shows";
    EXPECT_EQ(box.right, 399);
  }
  std::string manyLines;
  for (int i = 0; i < 2000; ++i) manyLines += "ab%eol%";
  ConversionSettings settings = textSettings(manyLines, 0);
  settings.wmTextPosition = 0;
  Bitmap image = watermarked(settings, 400, 300);
  ASSERT_TRUE(image);
  EXPECT_EQ(changedBox(image.get(), kWhite).bottom, 299);
  // Rotating a block of 2000 lines would need gigabytes: the watermark is dropped.
  settings.wmTextRotation = 30;
  image = watermarked(settings, 400, 300);
  ASSERT_TRUE(image);
  EXPECT_EQ(FreeImage_GetBPP(image.get()), 24u);

  ConversionSettings huge = textSettings("W", 1);
  huge.wmFontSize = 100000;  // the block would exceed every limit: no layer
  EXPECT_TRUE(watermarked(huge, 50, 50));
}

TEST(TextWatermark, FramedImageWithCentredLinesInsideTheFrame) {
  ConversionSettings settings = textSettings("Quillon%eol%centred%EOL%lines", 1);
  settings.doFrame = 1;
  settings.frameLeft = settings.frameRight = settings.frameTop = settings.frameBottom = 12;
  settings.frameTopColor = settings.frameBottomColor = "336699";
  settings.frameLeftColor = settings.frameRightColor = "6699CC";
  settings.wmTextBoundary = 1;
  settings.wmTextAlignment = 1;
  settings.wmTextPadding = 6;
  settings.wmBackColor = "FFFF00";
  settings.wmBackOpacity = 96;
  settings.wmFontColor = "800000";
  auto font = createWatermarkFont(planWatermarkFont(settings));
  ASSERT_TRUE(font);
  FileJob job;
  Bitmap image = solidBitmap(260, 160, 24, {40, 160, 90, 255});
  image = applyFrame(std::move(image), 260, 160, planChain(settings).frame);
  image = applyWatermark(std::move(image), 260, 160, planChain(settings).watermark,
                         expandWatermarkText(TestRun{settings, {}, job}), font.get());
  ASSERT_TRUE(image);
  saveForEye(image.get(), "framed_centred_text");
  // The block ends 10 pixels inside the 12-pixel band at the bottom right.
  EXPECT_EQ(pixelAt(image.get(), 260 - 12 - 10, 160 - 12 - 10), (RgbaPixel{40, 160, 90, 255}));
  EXPECT_FALSE(pixelAt(image.get(), 260 - 12 - 11, 160 - 12 - 11) == (RgbaPixel{40, 160, 90, 255}));
}

TEST(TextWatermark, TokensExpandWithTheImageSize) {
  ConversionSettings settings = textSettings("%width%x%HEIGHT%", 0);
  auto font = createWatermarkFont(planWatermarkFont(settings));
  ASSERT_TRUE(font);
  FileJob job;
  job.imageWidth = 200;
  job.imageHeight = 100;
  Bitmap layer = makeTextLayer(planChain(settings).watermark.text,
                               expandWatermarkText(TestRun{settings, {}, job}), font.get());
  ASSERT_TRUE(layer);
  EXPECT_EQ(static_cast<int>(FreeImage_GetWidth(layer.get())), measureRasterText(*font, "200x100").width);
  EXPECT_NE(measureRasterText(*font, "200x100").width,
            measureRasterText(*font, "%width%x%HEIGHT%").width);
}
