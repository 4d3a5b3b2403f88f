#include "pipeline/depth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>

#include "batch/file_conversion.h"
#include "formats/dds/raw_dds.h"
#include "formats/format_tables.h"
#include "pipeline/independent_reader.h"
#include "pipeline/pipeline_test_support.h"
#include "platform/files.h"
#include "support/plan_support.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

TEST(Depth, AutomaticDepthForTwentyFourAndThirtyTwoBitSources) {
  struct Case {
    const char* extension;
    int from24;
    int from32;
  } cases[] = {
      {"bmp", 24, 32}, {"ico", 24, 32}, {"exr", 96, 96},  {"hdr", 96, 96},  {"pfm", 96, 96},
      {"gif", 8, 8},   {"pgm", 8, 8},   {"j2k", 24, 32},  {"jp2", 24, 32},  {"jng", 24, 32},
      {"webp", 24, 32}, {"jpg", 24, 24}, {"jxr", 24, 32}, {"pbm", 1, 1},    {"wbmp", 1, 1},
      {"png", 24, 32}, {"ppm", 24, 48}, {"tga", 24, 32},  {"tiff", 24, 32}, {"xpm", 24, 24},
      {"pcx", 24, 24}, {"psd", 32, 32}, {"dds", 32, 32},
  };
  EXPECT_EQ(std::size(cases), formatTables().outputExtensions.size());
  for (const Case& c : cases) {
    EXPECT_EQ(chooseAutoDepth(c.extension, 24), c.from24) << c.extension;
    EXPECT_EQ(chooseAutoDepth(c.extension, 32), c.from32) << c.extension;
  }
  // Boundaries of the list: exactly an entry, one above it, above them all.
  EXPECT_EQ(chooseAutoDepth("png", 8), 8);
  EXPECT_EQ(chooseAutoDepth("png", 9), 24);
  EXPECT_EQ(chooseAutoDepth("png", 49), 48);
  EXPECT_EQ(chooseAutoDepth("png", 0), 1);
  EXPECT_EQ(chooseAutoDepth("nope", 24), 0);
  // Float RGBA (128) is never an automatic choice.
  for (const char* extension : {"exr", "tiff"}) {
    EXPECT_EQ(chooseAutoDepth(extension, 97), 96) << extension;
    EXPECT_EQ(chooseAutoDepth(extension, 128), 96) << extension;
  }
}

TEST(Depth, ConversionsGiveTheRequestedLayout) {
  Bitmap source = adoptBitmap(FreeImage_Allocate(20, 10, 32));
  ASSERT_TRUE(source);
  struct Case {
    const char* extension;
    int32_t bpp;
    FREE_IMAGE_TYPE type;
    unsigned greenMask;        // 16-bit layouts only
    FREE_IMAGE_COLOR_TYPE colourType;
  } cases[] = {
      {"tiff", 96, FIT_RGBF, 0, FIC_RGB},     {"png", 48, FIT_RGB16, 0, FIC_RGB},
      {"bmp", 24, FIT_BITMAP, 0, FIC_RGB},    {"bmp", 16, FIT_BITMAP, FI16_565_GREEN_MASK, FIC_RGB},
      {"jxr", 16, FIT_BITMAP, FI16_565_GREEN_MASK, FIC_RGB},
      {"tga", 16, FIT_BITMAP, FI16_555_GREEN_MASK, FIC_RGB},
      {"ico", 16, FIT_BITMAP, FI16_555_GREEN_MASK, FIC_RGB},
      {"jpg", 8, FIT_BITMAP, 0, FIC_MINISBLACK}, {"jxr", 8, FIT_BITMAP, 0, FIC_MINISBLACK},
      {"png", 4, FIT_BITMAP, 0, FIC_MINISBLACK}, {"png", 1, FIT_BITMAP, 0, FIC_MINISBLACK},
  };
  for (const Case& c : cases) {
    const DepthStep step{c.extension, c.bpp, false};
    Bitmap converted = convertDepth(adoptBitmap(FreeImage_Clone(source.get())), step, 0);
    ASSERT_TRUE(converted) << c.extension << " " << c.bpp;
    EXPECT_EQ(static_cast<int32_t>(FreeImage_GetBPP(converted.get())), c.bpp) << c.extension;
    EXPECT_EQ(FreeImage_GetImageType(converted.get()), c.type) << c.extension << " " << c.bpp;
    if (c.greenMask) {
      EXPECT_EQ(FreeImage_GetGreenMask(converted.get()), c.greenMask) << c.extension;
    }
    if (c.bpp == 8 || c.bpp == 1) {
      EXPECT_EQ(FreeImage_GetColorType(converted.get()), c.colourType) << c.extension << " " << c.bpp;
    }
  }
  // 8 bits for other formats: a colour palette by quantisation, not grey.
  Bitmap colourful = adoptBitmap(FreeImage_Allocate(2, 1, 24));
  RGBQUAD red{0, 0, 255, 0}, green{0, 255, 0, 0};
  FreeImage_SetPixelColor(colourful.get(), 0, 0, &red);
  FreeImage_SetPixelColor(colourful.get(), 1, 0, &green);
  Bitmap quantized = convertDepth(std::move(colourful), DepthStep{"gif", 8, false}, 0);
  ASSERT_TRUE(quantized);
  EXPECT_EQ(FreeImage_GetColorType(quantized.get()), FIC_PALETTE);
}

TEST(Depth, AnImageAlreadyAtTheDepthIsNotTouched) {
  Bitmap grey = adoptBitmap(FreeImage_Allocate(4, 4, 8));
  FIBITMAP* original = grey.get();
  const DepthStep automatic{"gif", 0, true};
  int32_t chosen = 0;
  Bitmap result = convertDepth(std::move(grey), automatic, 32, &chosen);
  EXPECT_EQ(result.get(), original);
  EXPECT_EQ(chosen, 8);
  EXPECT_FALSE(convertDepth(Bitmap(), automatic, 32));
}

// Every depth each format allows converts, saves and opens elsewhere.
TEST(Depth, EveryExplicitDepthOfEveryFormatSaves) {
  TempDir dir;
  const std::string input = dir.path() + "in.dds";
  ASSERT_TRUE(writeBinaryFile(input, buildUncompressedDds(48, 48, 32, kMasksA8R8G8B8, [](int x, int y) {
                                return quadrantPixel(x, y, 48, 48);
                              })));
  int serial = 0;
  for (const std::string& extension : formatTables().outputExtensions) {
    for (int32_t bpp : allowedDepths(extension)) {
      ConversionSetup setup = makeSetup(extension, input, dir.path());
      prepareJob(setup, bpp);
      setup.settings.filenameMask = "d" + std::to_string(serial++) + ".%ext%";
      const std::string label = extension + " at " + std::to_string(bpp);
      const bool converted = convertAndSaveFile(setup, {});
      const std::vector<std::string> messages = takeLibraryMessages();
      if (extension == "ico" && bpp == 16) {
        // FreeImage's 16-bit icons open nowhere, so they are refused.
        EXPECT_FALSE(converted);
        EXPECT_FALSE(pathExists(setup.job.outputFile));
        EXPECT_EQ(messages.size(), 1u);
        continue;
      }
      ASSERT_TRUE(converted) << label << (messages.empty() ? "" : ": " + messages[0]);
      DecodedImage decoded;
      EXPECT_TRUE(decodeIndependently(setup.job.outputFile, &decoded)) << label;
      EXPECT_EQ(decoded.width, 48) << label;
    }
  }
}

namespace {

// Pixel values of a file as OpenImageIO reads them ("2.500000000 -0.500000000 ...").
std::vector<std::string> dumpedPixels(const std::string& path) {
  std::string text;
  if (runCommand("oiiotool --dumpdata " + shellQuote(path), &text) != 0) return {};
  std::vector<std::string> pixels;
  size_t at = 0;
  while ((at = text.find("): ", at)) != std::string::npos) {
    at += 3;
    pixels.push_back(text.substr(at, text.find('\n', at) - at));
  }
  return pixels;
}

}  // namespace

// An RGBA float texture keeps values above 1 and below 0 in the float
// formats; the alpha channel is dropped at 96 bits and kept at 128.
TEST(Depth, FloatFormatsKeepValuesOutsideZeroToOne) {
  TempDir dir;
  const float texels[] = {2.5f, -0.5f, 0.25f, 1.0f, 0.0f, 1.0f, 7.0f, 0.5f};
  std::string payload(sizeof(texels), '\0');
  std::memcpy(payload.data(), texels, sizeof(texels));
  const std::string input = dir.path() + "hdr.dds";
  ASSERT_TRUE(writeTestFile(input, buildRawDds(dxgiHeader(2, 1, 2), payload)));  // R32G32B32A32_FLOAT
  const std::vector<std::string> rgb = {"2.500000000 -0.500000000 0.250000000",
                                        "0.000000000 1.000000000 7.000000000"};
  const std::vector<std::string> rgba = {"2.500000000 -0.500000000 0.250000000 1.000000000",
                                         "0.000000000 1.000000000 7.000000000 0.500000000"};
  const struct {
    std::vector<std::string> format;
    const std::vector<std::string>& expected;
  } cases[] = {{{"pfm"}, rgb},
               {{"exr"}, rgb},
               {{"tiff", "--tiff-bpp=96"}, rgb},
               {{"exr", "--exr-bpp=128"}, rgba},
               {{"tiff", "--tiff-bpp=128"}, rgba}};
  for (const auto& [format, expected] : cases) {
    std::vector<std::string> arguments = {"-d", "-i", input, "-o", dir.path(), "-c", format[0]};
    arguments.insert(arguments.end(), format.begin() + 1, format.end());
    const ProgramResult result = runProgramWith(arguments);
    ASSERT_EQ(result.exitCode, 0) << format[0];
    EXPECT_EQ(dumpedPixels(dir.path() + "hdr." + format[0]), expected) << format.back() << result.out;
    const std::string depth = format.size() > 1 ? format[1].substr(format[1].find('=') + 1) : "0";
    EXPECT_NE(result.out.find(" BPP: " + depth + "\r\n"), std::string::npos) << result.out;
  }
}

// RGBE has no sign and no NaN, and its exponent ends below 2^128: negative
// and NaN components become 0 and +inf the largest RGBE value (255 * 2^119),
// instead of wrapping into other colours.
TEST(Depth, HdrClampsWhatRgbeCannotHold) {
  TempDir dir;
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float texels[][4] = {{0.034f, -667.0f, 97.4f, 1},  {0.197f, -18.6f, -112.8f, 1},
                             {nan, 0.75f, 0.5f, 1},        {inf, 1.0f, -inf, 1},
                             {3e38f, 2.0f, 0.0f, 1},       {1.0f, 0.5f, 0.25f, 1},
                             {-1.0f, -2.0f, -3.0f, 1},     {nan, nan, inf, 1}};
  const float largest = 255.0f * std::ldexp(1.0f, 119);
  const float expected[][3] = {{0, 0, 97.0f},       {0.1953125f, 0, 0}, {0, 0.75f, 0.5f},
                               {largest, 0, 0},     {largest, 0, 0},    {1.0f, 0.5f, 0.25f},
                               {0, 0, 0},           {0, 0, largest}};
  std::string payload(sizeof(texels), '\0');
  std::memcpy(payload.data(), texels, sizeof(texels));
  const std::string input = dir.path() + "wild.dds";
  ASSERT_TRUE(writeTestFile(input, buildRawDds(dxgiHeader(8, 1, 2), payload)));
  const ProgramResult result = runProgramWith({"-i", input, "-o", dir.path(), "-c", "hdr"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  const std::vector<std::string> pixels = dumpedPixels(dir.path() + "wild.hdr");
  ASSERT_EQ(pixels.size(), std::size(expected)) << result.out;
  for (size_t i = 0; i < pixels.size(); ++i) {
    std::istringstream values(pixels[i]);
    for (float want : expected[i]) {
      float got = -1;
      values >> got;
      // RGBE keeps 8 bits of the largest component; smaller ones lose more.
      EXPECT_NEAR(got, want, std::max(want, 1.0f) / 128) << "pixel " << i << ": " << pixels[i];
    }
  }
}
