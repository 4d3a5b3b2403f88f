#include <gtest/gtest.h>

#include <cstdlib>

#include "batch/file_conversion.h"
#include "formats/format_tables.h"
#include "pipeline/independent_reader.h"
#include "pipeline/pipeline_test_support.h"
#include "platform/files.h"
#include "support/plan_support.h"
#include "support/temp_dir.h"

// Every output format, written from a 24-bit and a 32-bit DDS, must open in a
// reader that shares no code with this program, at the size and depth the
// automatic depth promises, the right way up and with the colours in place.

namespace {

struct FormatExpectation {
  const char* extension;
  const char* from24;  // independent reader's "%[channels] %z"
  const char* from32;
  int tolerance;       // largest channel difference at the quadrant centres; -1: no colour check
  int greyTolerance = -1;  // grey formats: largest difference of the mean grey near each centre
};

const FormatExpectation kExpectations[] = {
    {"bmp", "srgb 8", "srgba 8", 0},
    {"dds", "srgb 8", "srgb 8", 8},      // DevIL's default DXT1 keeps no partial alpha
    {"exr", "srgb 32", "srgb 32", 1},
    {"gif", "srgb 8", "srgb 8", 0},
    {"hdr", "rgb 16", "rgb 16", 4},
    {"ico", "srgba 8", "srgba 8", 0},  // icons always carry a mask
    {"j2k", "srgb 8", "srgba 8", 96},  // lossy at FreeImage's default rate
    {"jng", "srgb 16", "srgba 16", 24},
    {"jp2", "srgb 8", "srgba 8", 96},
    {"jpg", "srgb 8", "srgb 8", 24},
    {"jxr", "srgb 8", "srgba 8", 0},
    {"pbm", "gray 1", "gray 1", -1, 40},  // dithered: the mean of a window
    {"pcx", "srgb 8", "srgb 8", 0},
    {"pfm", "srgb 32", "srgb 32", 1},
    {"pgm", "gray 8", "gray 8", -1, 1},
    {"png", "srgb 8", "srgba 8", 0},
    {"ppm", "srgb 8", "srgb 16", 1},
    {"psd", "srgb 8", "srgb 8", 0},
    {"tga", "srgb 8", "srgba 8", 0},
    {"tiff", "srgb 8", "srgba 8", 0},
    {"wbmp", "srgb 16", "srgb 16", -1, 40},
    {"webp", "srgb 8", "srgba 8", 0},
    {"xpm", "srgb 8", "srgb 8", 0},
};

// Colour formats must show each quadrant in its place; alpha is compared only
// where the output keeps it.
void expectQuadrants(const DecodedImage& decoded, const FormatExpectation& expectation,
                     bool sourceHasAlpha, bool outputHasAlpha, const std::string& label) {
  const int w = decoded.width, h = decoded.height;
  for (auto [x, y] : {std::pair{w / 4, h / 4}, std::pair{3 * w / 4, h / 4},
                      std::pair{w / 4, 3 * h / 4}, std::pair{3 * w / 4, 3 * h / 4}}) {
    Rgba expected = quadrantPixel(x, y, w, h);
    const Rgba got = decoded.at(x, y);
    const int tolerance = expectation.tolerance;
    if (!sourceHasAlpha) expected.a = 255;
    if (!outputHasAlpha) expected.a = got.a;
    EXPECT_LE(std::abs(got.r - expected.r), tolerance) << label << " red at " << x << "," << y;
    EXPECT_LE(std::abs(got.g - expected.g), tolerance) << label << " green at " << x << "," << y;
    EXPECT_LE(std::abs(got.b - expected.b), tolerance) << label << " blue at " << x << "," << y;
    EXPECT_LE(std::abs(got.a - expected.a), tolerance) << label << " alpha at " << x << "," << y;
  }
}

// Grey formats hold each quadrant's luminance (Rec. 709 weights, as the grey
// conversion uses); 1-bit ones dither it, so the mean grey of a window around
// each centre is compared.
void expectGreyQuadrants(const DecodedImage& decoded, int tolerance, const std::string& label) {
  const int w = decoded.width, h = decoded.height;
  for (auto [x, y] : {std::pair{w / 4, h / 4}, std::pair{3 * w / 4, h / 4},
                      std::pair{w / 4, 3 * h / 4}, std::pair{3 * w / 4, 3 * h / 4}}) {
    const Rgba colour = quadrantPixel(x, y, w, h);
    const double expected = 0.2126 * colour.r + 0.7152 * colour.g + 0.0722 * colour.b;
    double sum = 0;
    for (int dy = -4; dy < 4; ++dy) {
      for (int dx = -4; dx < 4; ++dx) sum += decoded.at(x + dx, y + dy).r;
    }
    EXPECT_NEAR(sum / 64, expected, tolerance) << label << " grey near " << x << "," << y;
  }
}

}  // namespace

TEST(ConvertFileFormats, EveryFormatOpensInAnIndependentReader) {
  TempDir dir;
  ASSERT_EQ(std::size(kExpectations), formatTables().outputExtensions.size());
  for (int bits : {24, 32}) {
    for (const FormatExpectation& expectation : kExpectations) {
      const std::string extension = expectation.extension;
      // Icons must be square; the rest use a size that is neither square nor
      // a power of two.
      const int width = extension == "ico" ? 48 : 72, height = 48;
      const std::string input = dir.path() + extension + std::to_string(bits) + ".dds";
      ASSERT_TRUE(writeBinaryFile(
          input, buildUncompressedDds(width, height, bits, bits == 24 ? kMasksR8G8B8 : kMasksA8R8G8B8,
                                      [&](int x, int y) { return quadrantPixel(x, y, width, height); })));
      ConversionSetup setup = makeSetup(extension, input, dir.path());
      const std::string label = extension + " from " + std::to_string(bits) + " bits";
      ASSERT_TRUE(convertAndSaveFile(setup, {})) << label;
      EXPECT_TRUE(takeLibraryMessages().empty()) << label;
      EXPECT_EQ(setup.job.outputFile, dir.path() + extension + std::to_string(bits) + "." + extension);

      const std::string description = describeIndependently(setup.job.outputFile);
      EXPECT_EQ(description, bits == 24 ? expectation.from24 : expectation.from32) << label;
      DecodedImage decoded;
      ASSERT_TRUE(decodeIndependently(setup.job.outputFile, &decoded)) << label;
      EXPECT_EQ(decoded.width, width) << label;
      EXPECT_EQ(decoded.height, height) << label;
      if (expectation.tolerance >= 0) {
        expectQuadrants(decoded, expectation, bits == 32, description.find("rgba") != std::string::npos, label);
      }
      if (expectation.greyTolerance >= 0) expectGreyQuadrants(decoded, expectation.greyTolerance, label);
    }
  }
}
