#include "batch/file_conversion.h"

#include <gtest/gtest.h>

#include <random>

#include "formats/writers/exact_palette_bmp.h"
#include "pipeline/independent_reader.h"
#include "pipeline/load_mode.h"
#include "pipeline/pipeline_test_support.h"
#include "batch/temp_path.h"
#include "platform/files.h"
#include "support/plan_support.h"
#include "support/temp_dir.h"

namespace {

Rgba quadrants64(int x, int y) { return quadrantPixel(x, y, 64, 64); }

// Names in the folder other than the given input.
std::vector<std::string> outputsIn(const std::string& folder, const std::string& input) {
  std::vector<FolderEntry> entries;
  listFolder(folder, &entries);
  std::vector<std::string> names;
  for (const FolderEntry& entry : entries) {
    if (folder + entry.name != input) names.push_back(entry.name);
  }
  return names;
}

uint32_t wordAt(const std::string& data, size_t offset) {
  return static_cast<uint8_t>(data[offset]) | static_cast<uint8_t>(data[offset + 1]) << 8 |
         static_cast<uint8_t>(data[offset + 2]) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(data[offset + 3])) << 24;
}

}  // namespace

TEST(ConvertFile, BadInputFailsCleanlyAndWritesNothing) {
  TempDir dir;
  const std::string good = buildBlockDds(BlockFormat::Dxt1, 64, 64, quadrants64);
  std::string corrupted = good;
  corrupted[16] = '\xFF', corrupted[17] = '\xFF', corrupted[18] = '\xFF', corrupted[19] = '\xFF';
  std::string hugeClaim = good.substr(0, 128);
  hugeClaim[12] = 0, hugeClaim[13] = 0x80, hugeClaim[16] = 0, hugeClaim[17] = 0x80;  // 32768 x 32768
  std::string uncompressedWide = buildUncompressedDds(8, 8, 32, kMasksA8R8G8B8, quadrants64);
  for (int i = 16; i < 20; ++i) uncompressedWide[i] = '\xFF';
  std::string noise(5000, '\0');
  std::mt19937 random(7);
  for (char& c : noise) c = static_cast<char>(random());
  std::string noiseWithMagic = "DDS " + noise;
  struct Case {
    const char* name;
    std::string content;
  } cases[] = {
      {"zero bytes", ""},
      {"magic only", "DDS "},
      {"truncated header", good.substr(0, 100)},
      {"truncated data", good.substr(0, good.size() - 1)},
      {"width 0xFFFFFFFF", corrupted},
      {"uncompressed width 0xFFFFFFFF", uncompressedWide},
      {"32768 squared in 128 bytes", hugeClaim},
      {"random bytes", noise},
      {"random bytes after the magic", noiseWithMagic},
  };
  for (const Case& c : cases) {
    TempDir caseDir;
    const std::string input = caseDir.path() + "bad.dds";
    ASSERT_TRUE(writeBinaryFile(input, c.content));
    ConversionSetup setup = makeSetup("png", input, caseDir.path());
    EXPECT_FALSE(convertAndSaveFile(setup, {})) << c.name;
    takeLibraryMessages();
    EXPECT_TRUE(outputsIn(caseDir.path(), input).empty()) << c.name;
  }
  // A folder named like a texture.
  ASSERT_TRUE(createFolder(dir.path() + "x.dds"));
  ConversionSetup setup = makeSetup("png", dir.path() + "x.dds", dir.path());
  EXPECT_FALSE(convertAndSaveFile(setup, {}));
  EXPECT_EQ(outputsIn(dir.path(), dir.path() + "x.dds").size(), 0u);
}

TEST(ConvertFile, FailedSaveKeepsTheOldOutputAndLeavesNoTemporaryFile) {
  TempDir dir;
  const std::string input = dir.path() + "photo.dds";
  ASSERT_TRUE(writeBinaryFile(input, buildUncompressedDds(64, 64, 24, kMasksR8G8B8, quadrants64)));
  struct Case {
    const char* name;
    const char* extension;
    std::function<void(ConversionSetup&)> set;
  } cases[] = {
      // FreeImage would write an unreadable file here; the writer refuses it.
      {"tiff fax on colour", "tiff", [](ConversionSetup& s) { s.settings.tiffCompression = 2; }},
      {"jpeg xr of 8 pixels", "jxr", [](ConversionSetup& s) {
         s.settings.doResize = 1, s.settings.resizeWidth = 8, s.settings.resizeHeight = 8; }},
      {"tiff logluv on colour", "tiff", [](ConversionSetup& s) { s.settings.tiffCompression = 8; }},
  };
  for (const Case& c : cases) {
    ConversionSetup setup = makeSetup(c.extension, input, dir.path());
    c.set(setup);
    prepareJob(setup);
    const std::string existing = dir.path() + "photo." + c.extension;
    ASSERT_TRUE(writeWholeFile(existing, "previous output"));
    const bool converted = convertAndSaveFile(setup, {});
    takeLibraryMessages();
    if (converted) continue;  // the resize step may not have arrived yet
    std::string kept;
    ASSERT_TRUE(readWholeFile(existing, &kept)) << c.name;
    EXPECT_EQ(kept, "previous output") << c.name;
    for (const std::string& name : outputsIn(dir.path(), input)) {
      EXPECT_EQ(name.rfind("pellucid", 0), std::string::npos) << c.name << " left " << name;
    }
    EXPECT_FALSE(pathExists(setup.job.tempOutputFile)) << c.name;
  }
  // A successful save replaces the old output.
  ConversionSetup setup = makeSetup("png", input, dir.path());
  ASSERT_TRUE(writeWholeFile(dir.path() + "photo.png", "previous output"));
  ASSERT_TRUE(convertAndSaveFile(setup, {}));
  DecodedImage decoded;
  EXPECT_TRUE(decodeWithImageMagick(dir.path() + "photo.png", &decoded));
}

TEST(ConvertFile, UnwritableTargetsFailCleanly) {
  TempDir dir;
  const std::string input = dir.path() + "photo.dds";
  ASSERT_TRUE(writeBinaryFile(input, buildUncompressedDds(64, 64, 32, kMasksA8R8G8B8, quadrants64)));
  ASSERT_TRUE(writeWholeFile(dir.path() + "plainfile", "x"));
  struct Case {
    const char* name;
    std::string outputFolder;
    std::string mask;
    const char* extension;
  } cases[] = {
      {"output folder is a file", dir.path() + "plainfile/", "", "png"},
      {"output folder missing", dir.path() + "missing/", "", "dds"},
      {"mask names a missing folder", dir.path(), "nowhere/%filename%.%ext%", "png"},
      {"mask names a missing folder, jxr", dir.path(), "nowhere/%filename%.%ext%", "jxr"},
      {"mask names a missing folder, exact bmp", dir.path(), "nowhere/%filename%.%ext%", "bmp"},
      {"output is a folder", dir.path(), "sub", "png"},
  };
  ASSERT_TRUE(createFolder(dir.path() + "sub"));
  for (const Case& c : cases) {
    ConversionSetup setup = makeSetup(c.extension, input, c.outputFolder);
    setup.settings.filenameMask = c.mask;
    setup.settings.bmpColorTable = 1;
    prepareJob(setup, c.extension == std::string("bmp") ? 8 : 0);
    EXPECT_FALSE(convertAndSaveFile(setup, {})) << c.name;
    takeLibraryMessages();
    EXPECT_FALSE(pathExists(setup.job.tempOutputFile)) << c.name;
  }
  EXPECT_EQ(outputsIn(dir.path(), input).size(), 2u);  // plainfile and sub
}

TEST(ConvertFile, LibraryMessagesFailTheFileAndAreHandedOver) {
  TempDir dir;
  const std::string input = dir.path() + "wide.dds";
  ASSERT_TRUE(writeBinaryFile(input, buildUncompressedDds(64, 40, 24, kMasksR8G8B8, quadrants64)));
  takeLibraryMessages();
  ConversionSetup setup = makeSetup("ico", input, dir.path());
  EXPECT_FALSE(convertAndSaveFile(setup, {}));
  const std::vector<std::string> messages = takeLibraryMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("icon size"), std::string::npos) << messages[0];
  EXPECT_TRUE(takeLibraryMessages().empty());
  // The next file converts normally.
  ConversionSetup next = makeSetup("png", input, dir.path());
  EXPECT_TRUE(convertAndSaveFile(next, {}));
}

TEST(ConvertFile, IconsAreCappedAt128Pixels) {
  TempDir dir;
  struct Case {
    int width, height;
    int expected;
  } cases[] = {{300, 100, 128}, {128, 128, 128}, {129, 129, 128}, {64, 64, 64}};
  for (const Case& c : cases) {
    const std::string input = dir.path() + "icon.dds";
    ASSERT_TRUE(writeBinaryFile(input, buildBlockDds(BlockFormat::Dxt5, c.width, c.height, quadrants64)));
    ConversionSetup setup = makeSetup("ico", input, dir.path());
    ASSERT_TRUE(convertAndSaveFile(setup, {})) << c.width << "x" << c.height;
    EXPECT_EQ(setup.job.imageWidth, c.expected);
    EXPECT_EQ(identifyText(setup.job.outputFile, "%w %h"),
              std::to_string(c.expected) + " " + std::to_string(c.expected));
  }
}

TEST(ConvertFile, LoadModeRgbaExchangesRedAndBlue) {
  Bitmap image = adoptBitmap(FreeImage_Allocate(3, 2, 24));
  RGBQUAD colour{10, 20, 30, 0};  // blue, green, red
  FreeImage_SetPixelColor(image.get(), 2, 1, &colour);
  for (LoadMode mode : {LoadMode::kAuto, LoadMode::kBgra}) {
    Bitmap same = applyLoadMode(adoptBitmap(FreeImage_Clone(image.get())), mode);
    RGBQUAD got{};
    FreeImage_GetPixelColor(same.get(), 2, 1, &got);
    EXPECT_EQ(FreeImage_GetBPP(same.get()), 24u) << static_cast<int>(mode);
    EXPECT_EQ(got.rgbRed, 30) << static_cast<int>(mode);
  }
  Bitmap swapped = applyLoadMode(std::move(image), LoadMode::kRgba);
  ASSERT_TRUE(swapped);
  EXPECT_EQ(FreeImage_GetBPP(swapped.get()), 32u);
  RGBQUAD got{};
  FreeImage_GetPixelColor(swapped.get(), 2, 1, &got);
  EXPECT_EQ(got.rgbRed, 10);
  EXPECT_EQ(got.rgbGreen, 20);
  EXPECT_EQ(got.rgbBlue, 30);
  EXPECT_EQ(got.rgbReserved, 255);
  EXPECT_FALSE(applyLoadMode(Bitmap(), LoadMode::kRgba));
}

TEST(ConvertFile, ExactPaletteBmpHasTheUsedColoursOnly) {
  // 17 distinct greys: palette indices 0..16 after quantisation.
  Bitmap image = adoptBitmap(FreeImage_Allocate(17, 3, 8));
  RGBQUAD* palette = FreeImage_GetPalette(image.get());
  for (int i = 0; i < 256; ++i) {
    palette[i].rgbRed = palette[i].rgbGreen = palette[i].rgbBlue = static_cast<BYTE>(i);
  }
  for (unsigned y = 0; y < 3; ++y) {
    BYTE* row = FreeImage_GetScanLine(image.get(), static_cast<int>(y));
    for (unsigned x = 0; x < 17; ++x) row[x] = static_cast<BYTE>(x * (y + 1) % 17);
  }
  EXPECT_EQ(countUsedColors(image.get()), 17);
  for (int32_t flags : {0, BMP_SAVE_RLE}) {
    std::string file;
    ASSERT_TRUE(buildExactPaletteBmp(image.get(), flags, &file));
    const uint32_t pixelBytes = static_cast<uint32_t>(file.size()) - 54 - 17 * 4;
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(wordAt(file, 2), file.size()) << flags;
    EXPECT_EQ(wordAt(file, 10), 54u + 17 * 4) << flags;
    EXPECT_EQ(wordAt(file, 30), flags ? 1u : 0u) << flags;  // BI_RLE8 or BI_RGB
    EXPECT_EQ(wordAt(file, 34), pixelBytes) << flags;
    EXPECT_EQ(wordAt(file, 46), 17u) << flags;  // biClrUsed
    EXPECT_EQ(wordAt(file, 50), 17u) << flags;  // biClrImportant
    if (!flags) {
      EXPECT_EQ(pixelBytes, 20u * 3);  // rows padded to 4 bytes
    }

    TempDir dir;
    ASSERT_TRUE(writeWholeFile(dir.path() + "exact.bmp", file));
    DecodedImage decoded;
    ASSERT_TRUE(decodeWithImageMagick(dir.path() + "exact.bmp", &decoded)) << flags;
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 17; ++x) {
        const uint8_t grey = static_cast<uint8_t>(x * (3 - y) % 17);  // top row is the last scanline
        ASSERT_EQ(decoded.at(x, y), (Rgba{grey, grey, grey, 255})) << flags << " at " << x << "," << y;
      }
    }
  }
  Bitmap colour = adoptBitmap(FreeImage_Allocate(4, 4, 24));
  std::string file;
  EXPECT_FALSE(buildExactPaletteBmp(colour.get(), 0, &file));
}

TEST(ConvertFile, ExactPaletteBmpThroughTheChain) {
  TempDir dir;
  const std::string input = dir.path() + "pal.dds";
  ASSERT_TRUE(writeBinaryFile(input, buildUncompressedDds(64, 64, 24, kMasksR8G8B8, quadrants64)));
  ConversionSetup setup = makeSetup("bmp", input, dir.path());
  setup.settings.bmpColorTable = 1;
  prepareJob(setup, 8);
  ASSERT_TRUE(convertAndSaveFile(setup, {}));
  std::string file;
  ASSERT_TRUE(readWholeFile(setup.job.outputFile, &file));
  const uint32_t used = wordAt(file, 46);
  EXPECT_GE(used, 4u);
  EXPECT_LE(used, 8u);
  EXPECT_EQ(wordAt(file, 10), 54 + 4 * used);
  DecodedImage decoded;
  ASSERT_TRUE(decodeWithImageMagick(setup.job.outputFile, &decoded));
  EXPECT_EQ(decoded.at(10, 10), (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(decoded.at(50, 50), (Rgba{255, 255, 255, 255}));
}

TEST(ConvertFile, DdsOutputCarriesTheFullMipmapChain) {
  TempDir dir;
  const std::string input = dir.path() + "tex.dds";
  ASSERT_TRUE(writeBinaryFile(input, buildUncompressedDds(64, 32, 32, kMasksA8R8G8B8, quadrants64)));
  ConversionSetup setup = makeSetup("dds", input, dir.path());
  setup.settings.filenameMask = "out.%ext%";
  ASSERT_TRUE(convertAndSaveFile(setup, {}));
  std::string info;
  ASSERT_EQ(runCommand("nvddsinfo " + shellQuote(setup.job.outputFile), &info), 0);
  EXPECT_NE(info.find("Mipmap count: 7"), std::string::npos) << info;
  for (const char* extension : {"psd", "pcx"}) {
    ConversionSetup other = makeSetup(extension, input, dir.path());
    ASSERT_TRUE(convertAndSaveFile(other, {})) << extension;
    EXPECT_EQ(identifyText(other.job.outputFile, "%m %w %h"),
              std::string(extension == std::string("psd") ? "PSD" : "PCX") + " 64 32");
  }
}

TEST(ConvertFile, TemporaryNamesAreFreshAndInTheTargetFolder) {
  const std::string name = makeUniqueName("pellucid", ".x");
  ASSERT_GT(name.size(), 8u + 5 + 2);
  EXPECT_EQ(name.substr(0, 8), "pellucid");
  EXPECT_EQ(name.substr(name.size() - 2), ".x");
  for (char c : name.substr(8, name.size() - 10)) EXPECT_TRUE(c >= 'a' && c <= 'z') << name;
  EXPECT_NE(makeUniqueName("p", ""), makeUniqueName("p", ""));

  // Always in the folder of the output, so the rename never crosses a file system.
  const std::string kept = temporaryPathBeside("/out/sub/name.png");
  EXPECT_EQ(kept.substr(0, 18), "/out/sub/.pellucid");
  EXPECT_EQ(kept.substr(kept.size() - 4), ".tmp") << "never taken for an input by a later scan";
  EXPECT_EQ(temporaryPathBeside("name.png").substr(0, 9), ".pellucid");
  const std::string beside = temporaryPathBeside("/out/sub/deeper/name.dds");
  EXPECT_EQ(beside.substr(0, 25), "/out/sub/deeper/.pellucid");
  EXPECT_EQ(beside.substr(beside.size() - 4), ".tmp");
}
