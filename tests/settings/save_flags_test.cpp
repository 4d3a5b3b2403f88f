#include "settings/save_flags.h"

#include <gtest/gtest.h>

#include <functional>

#include "batch/file_conversion.h"
#include "pipeline/independent_reader.h"
#include "pipeline/pipeline_test_support.h"
#include "platform/files.h"
#include "support/plan_support.h"
#include "support/temp_dir.h"

namespace {

ConversionSettings defaults() {
  ConversionSettings settings;
  resetSettings(settings, true);
  return settings;
}

}  // namespace

TEST(SaveFlags, EveryRowOfTheTable) {
  struct Case {
    const char* name;
    const char* extension;
    std::function<void(ConversionSettings&)> set;
    int32_t expected;
  } cases[] = {
      {"jpg defaults", "jpg", [](ConversionSettings&) {}, 0x1005F},
      {"jpg 80 low progressive", "jpg",
       [](ConversionSettings& s) { s.jpgQuality = 80, s.jpgChroma = 1, s.jpgSaveAs = 3; },
       80 | 0x8000 | 0x2000},
      {"jpg medium simple", "jpg", [](ConversionSettings& s) { s.jpgChroma = 2, s.jpgSaveAs = 1; },
       95 | 0x4000 | 0x40000},
      {"jpg high optimized", "jpg", [](ConversionSettings& s) { s.jpgChroma = 3, s.jpgSaveAs = 2; },
       95 | 0x1000 | 0x20000},
      {"bmp none", "bmp", [](ConversionSettings&) {}, 0},
      {"bmp rle", "bmp", [](ConversionSettings& s) { s.bmpCompression = 1; }, 1},
      {"bmp lzw code means nothing", "bmp", [](ConversionSettings& s) { s.bmpCompression = 6; }, 0},
      {"exr none", "exr", [](ConversionSettings&) {}, 0x2},
      {"exr zip", "exr", [](ConversionSettings& s) { s.exrCompression = 1; }, 0x4},
      {"exr piz", "exr", [](ConversionSettings& s) { s.exrCompression = 2; }, 0x8},
      {"exr pxr24", "exr", [](ConversionSettings& s) { s.exrCompression = 3; }, 0x10},
      {"exr b44", "exr", [](ConversionSettings& s) { s.exrCompression = 4; }, 0x20},
      {"exr code 5 adds nothing", "exr", [](ConversionSettings& s) { s.exrCompression = 5; }, 0},
      {"jxr", "jxr", [](ConversionSettings&) {}, 0x64},
      {"png none", "png", [](ConversionSettings&) {}, 0x100},
      {"png zlib1", "png", [](ConversionSettings& s) { s.pngCompression = 1; }, 1},
      {"png zlib6", "png", [](ConversionSettings& s) { s.pngCompression = 2; }, 6},
      {"png zlib9 interlaced", "png",
       [](ConversionSettings& s) { s.pngCompression = 3, s.pngInterlaced = 1; }, 9 | 0x200},
      {"tga none", "tga", [](ConversionSettings&) {}, 0},
      {"tga rle", "tga", [](ConversionSettings& s) { s.tgaCompression = 1; }, 2},
      {"tiff none", "tiff", [](ConversionSettings&) {}, 0x800},
      {"tiff fax3", "tiff", [](ConversionSettings& s) { s.tiffCompression = 1; }, 0x1000},
      {"tiff fax4", "tiff", [](ConversionSettings& s) { s.tiffCompression = 2; }, 0x2000},
      {"tiff packbits", "tiff", [](ConversionSettings& s) { s.tiffCompression = 3; }, 0x100},
      {"tiff deflate", "tiff", [](ConversionSettings& s) { s.tiffCompression = 4; }, 0x200},
      {"tiff adobe deflate", "tiff", [](ConversionSettings& s) { s.tiffCompression = 5; }, 0x400},
      {"tiff lzw", "tiff", [](ConversionSettings& s) { s.tiffCompression = 6; }, 0x4000},
      {"tiff jpeg", "tiff", [](ConversionSettings& s) { s.tiffCompression = 7; }, 0x8000},
      {"tiff logluv cmyk", "tiff",
       [](ConversionSettings& s) { s.tiffCompression = 8, s.tiffColorMode = 1; }, 0x10000 | 1},
      {"tiff lab adds nothing", "tiff", [](ConversionSettings& s) { s.tiffColorMode = 2; }, 0x800},
      {"webp lossless", "webp", [](ConversionSettings&) {}, 0x100},
      {"webp 99", "webp", [](ConversionSettings& s) { s.webpQuality = 99; }, 99},
      {"webp 1", "webp", [](ConversionSettings& s) { s.webpQuality = 1; }, 1},
      {"gif", "gif", [](ConversionSettings& s) { s.jpgQuality = 50; }, 0},
      {"dds", "dds", [](ConversionSettings&) {}, 0},
      {"ppm", "ppm", [](ConversionSettings&) {}, 0},
      {"unknown", "xyz", [](ConversionSettings&) {}, 0},
  };
  for (const Case& c : cases) {
    ConversionSettings settings = defaults();
    c.set(settings);
    EXPECT_EQ(computeSaveFlags(c.extension, settings), c.expected) << c.name;
  }
}

// Every save option must give a file that another reader opens. CCITT fax
// and LogLuv TIFF compressions cannot hold a colour image: FreeImage writes
// such files without complaint, yet nothing can read them, so the program
// refuses them instead.
TEST(SaveFlags, EveryOptionWritesAReadableFile) {
  TempDir dir;
  const std::string input = dir.path() + "in.dds";
  ASSERT_TRUE(writeBinaryFile(input, buildUncompressedDds(40, 32, 32, kMasksA8R8G8B8, [](int x, int y) {
                                return quadrantPixel(x, y, 40, 32);
                              })));
  struct Case {
    const char* name;
    const char* extension;
    std::function<void(ConversionSettings&)> set;
    int32_t bpp;
    bool written;
  } cases[] = {
      {"bmp rle 8", "bmp", [](ConversionSettings& s) { s.bmpCompression = 1; }, 8, true},
      {"bmp rle 24", "bmp", [](ConversionSettings& s) { s.bmpCompression = 1; }, 24, true},
      {"exr none", "exr", [](ConversionSettings& s) { s.exrCompression = 0; }, 0, true},
      {"exr zip", "exr", [](ConversionSettings& s) { s.exrCompression = 1; }, 0, true},
      {"exr piz", "exr", [](ConversionSettings& s) { s.exrCompression = 2; }, 0, true},
      {"exr pxr24", "exr", [](ConversionSettings& s) { s.exrCompression = 3; }, 0, true},
      {"exr b44", "exr", [](ConversionSettings& s) { s.exrCompression = 4; }, 0, true},
      {"jpg none standard", "jpg", [](ConversionSettings&) {}, 0, true},
      {"jpg low simple", "jpg", [](ConversionSettings& s) { s.jpgChroma = 1, s.jpgSaveAs = 1; }, 0, true},
      {"jpg medium optimized", "jpg", [](ConversionSettings& s) { s.jpgChroma = 2, s.jpgSaveAs = 2; }, 0, true},
      {"jpg high progressive", "jpg", [](ConversionSettings& s) { s.jpgChroma = 3, s.jpgSaveAs = 3; }, 0, true},
      {"jpg grey quality 1", "jpg", [](ConversionSettings& s) { s.jpgQuality = 1; }, 8, true},
      {"png none", "png", [](ConversionSettings&) {}, 0, true},
      {"png zlib1", "png", [](ConversionSettings& s) { s.pngCompression = 1; }, 0, true},
      {"png zlib6", "png", [](ConversionSettings& s) { s.pngCompression = 2; }, 0, true},
      {"png zlib9 interlaced", "png", [](ConversionSettings& s) { s.pngCompression = 3, s.pngInterlaced = 1; }, 0, true},
      {"png interlaced 1 bit", "png", [](ConversionSettings& s) { s.pngInterlaced = 1; }, 1, true},
      {"tga rle 32", "tga", [](ConversionSettings& s) { s.tgaCompression = 1; }, 0, true},
      {"tga rle 8", "tga", [](ConversionSettings& s) { s.tgaCompression = 1; }, 8, true},
      {"tga rle 16", "tga", [](ConversionSettings& s) { s.tgaCompression = 1; }, 16, true},
      {"tiff none", "tiff", [](ConversionSettings&) {}, 0, true},
      {"tiff packbits", "tiff", [](ConversionSettings& s) { s.tiffCompression = 3; }, 0, true},
      {"tiff deflate", "tiff", [](ConversionSettings& s) { s.tiffCompression = 4; }, 0, true},
      {"tiff adobe deflate", "tiff", [](ConversionSettings& s) { s.tiffCompression = 5; }, 0, true},
      {"tiff lzw", "tiff", [](ConversionSettings& s) { s.tiffCompression = 6; }, 0, true},
      {"tiff jpeg 24", "tiff", [](ConversionSettings& s) { s.tiffCompression = 7; }, 24, true},
      {"tiff cmyk", "tiff", [](ConversionSettings& s) { s.tiffColorMode = 1; }, 0, true},
      {"tiff cmyk lzw 24", "tiff", [](ConversionSettings& s) { s.tiffColorMode = 1, s.tiffCompression = 6; }, 24, true},
      {"tiff fax3 1 bit", "tiff", [](ConversionSettings& s) { s.tiffCompression = 1; }, 1, true},
      {"tiff fax4 1 bit", "tiff", [](ConversionSettings& s) { s.tiffCompression = 2; }, 1, true},
      {"tiff logluv 96", "tiff", [](ConversionSettings& s) { s.tiffCompression = 8; }, 96, true},
      {"tiff fax3 colour", "tiff", [](ConversionSettings& s) { s.tiffCompression = 1; }, 0, false},
      {"tiff fax4 colour", "tiff", [](ConversionSettings& s) { s.tiffCompression = 2; }, 24, false},
      {"tiff fax4 8 bit", "tiff", [](ConversionSettings& s) { s.tiffCompression = 2; }, 8, false},
      {"tiff logluv colour", "tiff", [](ConversionSettings& s) { s.tiffCompression = 8; }, 0, false},
      {"tiff logluv 24", "tiff", [](ConversionSettings& s) { s.tiffCompression = 8; }, 24, false},
      {"webp lossless", "webp", [](ConversionSettings&) {}, 0, true},
      {"webp 50", "webp", [](ConversionSettings& s) { s.webpQuality = 50; }, 0, true},
      {"webp 1 24 bit", "webp", [](ConversionSettings& s) { s.webpQuality = 1; }, 24, true},
  };
  int serial = 0;
  for (const Case& c : cases) {
    ConversionSetup setup = makeSetup(c.extension, input, dir.path());
    c.set(setup.settings);
    prepareJob(setup, c.bpp);
    setup.settings.filenameMask = "out" + std::to_string(serial++) + ".%ext%";
    const bool converted = convertAndSaveFile(setup, {});
    const std::vector<std::string> messages = takeLibraryMessages();
    ASSERT_EQ(converted, c.written) << c.name << (messages.empty() ? "" : ": " + messages[0]);
    if (!c.written) {
      EXPECT_FALSE(pathExists(setup.job.outputFile)) << c.name;
      EXPECT_FALSE(pathExists(setup.job.tempOutputFile)) << c.name;
      EXPECT_EQ(messages.size(), 1u) << c.name;
      continue;
    }
    DecodedImage decoded;
    ASSERT_TRUE(decodeIndependently(setup.job.outputFile, &decoded)) << c.name;
    EXPECT_EQ(decoded.width, 40) << c.name;
    EXPECT_EQ(decoded.height, 32) << c.name;
  }
}
