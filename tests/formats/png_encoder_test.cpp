// PNG files of every colour type and depth the program writes, plain and
// interlaced, at every compression level, through the built program. Each is
// judged against the same image written as TIFF (by FreeImage and libtiff,
// which share no code with the PNG writer), both decoded by ImageMagick at
// 16 bits per sample, and by its header.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pipeline/independent_reader.h"
#include "platform/files.h"
#include "support/dds_builder.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

struct PngCase {
  const char* label;
  int width;
  int height;
  bool alpha;                        // the source texture has varying alpha
  std::vector<std::string> options;  // depth and chain options
  int bitDepth;                      // expected IHDR values
  int colorType;                     // 0 grey, 2 RGB, 3 palette, 6 RGBA
};

const PngCase kCases[] = {
    {"1 bit", 37, 23, true, {"--png-bpp=1"}, 1, 0},
    {"4 bits", 37, 23, true, {"--png-bpp=4"}, 4, 3},
    {"8 bits, palette", 37, 23, true, {"--png-bpp=8"}, 8, 3},
    {"8 bits, grey", 37, 23, true, {"--greyscale", "--png-bpp=8"}, 8, 0},
    {"24 bits", 37, 23, true, {"--png-bpp=24"}, 8, 2},
    {"32 bits", 37, 23, true, {"--png-bpp=32"}, 8, 6},
    {"32 bits, opaque", 37, 23, false, {"--png-bpp=32"}, 8, 2},
    {"48 bits", 37, 23, true, {"--png-bpp=48"}, 16, 2},
    // Shapes at the edges of the row and pass arithmetic.
    {"one pixel at 1 bit", 1, 1, true, {"--png-bpp=1"}, 1, 0},
    {"one column at 1 bit", 1, 9, true, {"--png-bpp=1"}, 1, 0},
    {"one row at 4 bits", 9, 1, true, {"--png-bpp=4"}, 4, 3},
    {"one row at 32 bits", 11, 1, true, {"--png-bpp=32"}, 8, 6},
    // Uncompressed, rows straddle stored blocks, and the data fills more
    // than one IDAT chunk.
    {"32 bits, several chunks", 640, 600, true, {"--png-bpp=32"}, 8, 6},
};

const char* const kLevels[] = {"none", "zlib1", "zlib6", "zlib9"};

Rgba sourcePixel(int x, int y, bool alpha) {
  return Rgba{static_cast<uint8_t>(x * 7 + y * 3), static_cast<uint8_t>((x * y) ^ 0x5A),
              static_cast<uint8_t>(255 - x * 11), static_cast<uint8_t>(alpha ? 40 + (x + y) * 9 : 255)};
}

// Every sample as ImageMagick decodes it: RGBA, 16 bits each.
std::string decodedSamples(const std::string& path) {
  std::string samples;
  if (runCommand("/usr/bin/convert " + shellQuote(path) + " -depth 16 rgba:-", &samples) != 0) return "";
  return samples;
}

std::string converted(const std::string& input, const std::string& output,
                      std::vector<std::string> options) {
  std::vector<std::string> arguments = {"-q", "-i", input, "-o", output};
  arguments.insert(arguments.end(), options.begin(), options.end());
  const ProgramResult result = runProgramWith(arguments);
  EXPECT_EQ(result.exitCode, 0) << result.err;
  return result.out;
}

}  // namespace

TEST(PngEncoder, EveryDepthAndLevelKeepsThePixelsOfTheImage) {
  TempDir dir;
  int row = 0;
  for (const PngCase& c : kCases) {
    const std::string input = dir.path() + "in" + std::to_string(row) + ".dds";
    ASSERT_TRUE(writeBinaryFile(
        input, buildUncompressedDds(c.width, c.height, 32, kMasksA8R8G8B8,
                                    [&](int x, int y) { return sourcePixel(x, y, c.alpha); })));
    // The TIFF writer takes the same depths; --tiff-bpp for --png-bpp.
    std::vector<std::string> tiffOptions = {"-c", "tiff"};
    for (const std::string& option : c.options) {
      tiffOptions.push_back(option.rfind("--png-", 0) == 0 ? "--tiff-" + option.substr(6) : option);
    }
    const std::string reference = dir.path() + "tiff/";
    createFolder(reference);
    converted(input, reference, tiffOptions);
    const std::string expected = decodedSamples(reference + "in" + std::to_string(row) + ".tiff");
    ASSERT_EQ(expected.size(), static_cast<size_t>(c.width) * c.height * 8) << c.label;

    // Both interlace settings, each with another level, so that every level
    // meets every depth over the table.
    for (bool interlaced : {false, true}) {
      const char* level = kLevels[(row * 2 + (interlaced ? 1 : 0)) % 4];
      const std::string label = std::string(c.label) + (interlaced ? ", interlaced, " : ", ") + level;
      std::vector<std::string> options = {"-c", "png", std::string("--png-compression=") + level};
      if (interlaced) options.push_back("--png-interlaced");
      options.insert(options.end(), c.options.begin(), c.options.end());
      const std::string folder = dir.path() + "png" + std::to_string(interlaced) + level + "/";
      createFolder(folder);
      converted(input, folder, options);
      const std::string png = folder + "in" + std::to_string(row) + ".png";

      std::string file;
      ASSERT_TRUE(readWholeFile(png, &file)) << label;
      ASSERT_GT(file.size(), 33u) << label;
      EXPECT_EQ(file.substr(12, 4), "IHDR") << label;
      EXPECT_EQ(static_cast<int>(file[24]), c.bitDepth) << label;
      EXPECT_EQ(static_cast<int>(file[25]), c.colorType) << label;
      EXPECT_EQ(static_cast<int>(file[28]), interlaced ? 1 : 0) << label;
      EXPECT_TRUE(decodedSamples(png) == expected) << label << ": pixels differ from the TIFF";
    }
    ++row;
  }
}
