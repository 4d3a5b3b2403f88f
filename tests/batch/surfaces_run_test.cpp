// Every surface of a texture through the built program: cube faces (also
// missing ones), array elements, volume slices and mip levels, each its own
// file with the right name, size and pixels, and the count line per input.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "pipeline/independent_reader.h"
#include "platform/files.h"
#include "support/dds_builder.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

// Each surface has its own colours, so a file holding the wrong one shows.
Rgba surfacePixel(int mip, int face, int layer, int x, int y) {
  return Rgba{static_cast<uint8_t>(16 * (face + 1) + x), static_cast<uint8_t>(16 * layer + y),
              static_cast<uint8_t>(32 * mip + 7), static_cast<uint8_t>(255 - 20 * mip)};
}

struct Expected {
  std::string name;
  int mip, face, layer;
};

std::vector<std::string> outputFiles(const std::string& folder) {
  std::vector<FolderEntry> entries;
  listFolder(folder, &entries);
  std::vector<std::string> names;
  for (const FolderEntry& entry : entries) names.push_back(entry.name);
  return names;
}

bool hasLine(const std::string& out, const std::string& line) {
  const std::vector<std::string> lines = outputLines(out);
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace

TEST(Surfaces, EachChosenSurfaceIsItsOwnFile) {
  const SurfaceTexture cube{.width = 4, .height = 4, .mips = 3, .cubeFaces = 0x3F};
  struct Case {
    const char* label;
    SurfaceTexture texture;
    std::vector<std::string> options;
    std::vector<Expected> files;
  } cases[] = {
      {"no options: the first surface only", cube, {}, {{"t.png", 0, 0, 0}}},
      {"legacy cube, all faces and mips", cube, {"--faces=all", "--mipmaps=ALL"},
       {{"t_posx_mip0.png", 0, 0, 0}, {"t_posx_mip1.png", 1, 0, 0}, {"t_posx_mip2.png", 2, 0, 0},
        {"t_negx_mip0.png", 0, 1, 0}, {"t_negx_mip1.png", 1, 1, 0}, {"t_negx_mip2.png", 2, 1, 0},
        {"t_posy_mip0.png", 0, 2, 0}, {"t_posy_mip1.png", 1, 2, 0}, {"t_posy_mip2.png", 2, 2, 0},
        {"t_negy_mip0.png", 0, 3, 0}, {"t_negy_mip1.png", 1, 3, 0}, {"t_negy_mip2.png", 2, 3, 0},
        {"t_posz_mip0.png", 0, 4, 0}, {"t_posz_mip1.png", 1, 4, 0}, {"t_posz_mip2.png", 2, 4, 0},
        {"t_negz_mip0.png", 0, 5, 0}, {"t_negz_mip1.png", 1, 5, 0}, {"t_negz_mip2.png", 2, 5, 0}}},
      {"no options: the surface tokens are plain text", cube,
       {"--filename-mask=%filename%-%mip%-%face%-%layer%.%ext%"},
       {{"t-%mip%-%face%-%layer%.png", 0, 0, 0}}},
      {"tokens in the mask replace the suffixes; %mip% stays text without --mipmaps", cube,
       {"--faces=all", "--filename-mask=%filename%-%face%-%mip%.%ext%"},
       {{"t-posx-%mip%.png", 0, 0, 0}, {"t-negx-%mip%.png", 0, 1, 0},
        {"t-posy-%mip%.png", 0, 2, 0}, {"t-negy-%mip%.png", 0, 3, 0},
        {"t-posz-%mip%.png", 0, 4, 0}, {"t-negz-%mip%.png", 0, 5, 0}}},
      {"mask tokens with their options", cube,
       {"--faces=all", "--mipmaps=all", "--filename-mask=%filename%-%face%-%mip%.%ext%"},
       {{"t-posy-0.png", 0, 2, 0}, {"t-posy-1.png", 1, 2, 0}, {"t-posy-2.png", 2, 2, 0},
        {"t-posx-0.png", 0, 0, 0}, {"t-posx-1.png", 1, 0, 0}, {"t-posx-2.png", 2, 0, 0},
        {"t-negx-0.png", 0, 1, 0}, {"t-negx-1.png", 1, 1, 0}, {"t-negx-2.png", 2, 1, 0},
        {"t-negy-0.png", 0, 3, 0}, {"t-negy-1.png", 1, 3, 0}, {"t-negy-2.png", 2, 3, 0},
        {"t-posz-0.png", 0, 4, 0}, {"t-posz-1.png", 1, 4, 0}, {"t-posz-2.png", 2, 4, 0},
        {"t-negz-0.png", 0, 5, 0}, {"t-negz-1.png", 1, 5, 0}, {"t-negz-2.png", 2, 5, 0}}},
      {"a named option expands its token whatever its value", cube,
       {"--mipmaps=top", "--filename-mask=%filename%_lv%mip%.%ext%"}, {{"t_lv0.png", 0, 0, 0}}},
      {"--faces=first names the first face present",
       {.width = 4, .height = 4, .cubeFaces = 0x24},
       {"--faces=first", "--layers=first", "--filename-mask=%filename%-%face%-%layer%.%ext%"},
       {{"t-posy-0.png", 0, 2, 0}}},
      {"dx10 cube", {.width = 2, .height = 2, .cubeFaces = 0x3F, .dx10 = true}, {"--faces=all"},
       {{"t_posx.png", 0, 0, 0}, {"t_negx.png", 0, 1, 0}, {"t_posy.png", 0, 2, 0},
        {"t_negy.png", 0, 3, 0}, {"t_posz.png", 0, 4, 0}, {"t_negz.png", 0, 5, 0}}},
      {"cube without -X, -Y, +Z", {.width = 4, .height = 4, .mips = 2, .cubeFaces = 0x25},
       {"--faces=all"}, {{"t_posx.png", 0, 0, 0}, {"t_posy.png", 0, 2, 0}, {"t_negz.png", 0, 5, 0}}},
      {"unknown keyword selects the first entry", {.width = 4, .height = 4, .cubeFaces = 0x25},
       {"--faces=every"}, {{"t.png", 0, 0, 0}}},
      {"3-element array", {.width = 4, .height = 2, .arraySize = 3, .dx10 = true}, {"--layers=all"},
       {{"t_layer0.png", 0, -1, 0}, {"t_layer1.png", 0, -1, 1}, {"t_layer2.png", 0, -1, 2}}},
      {"4-deep volume with mips", {.width = 4, .height = 4, .mips = 3, .depth = 4},
       {"--layers=all", "--mipmaps=all"},
       {{"t_layer0_mip0.png", 0, -1, 0}, {"t_layer1_mip0.png", 0, -1, 1},
        {"t_layer2_mip0.png", 0, -1, 2}, {"t_layer3_mip0.png", 0, -1, 3},
        {"t_layer0_mip1.png", 1, -1, 0}, {"t_layer1_mip1.png", 1, -1, 1},
        {"t_layer0_mip2.png", 2, -1, 0}}},
      {"dx10 volume, first slices", {.width = 2, .height = 2, .mips = 2, .depth = 4, .dx10 = true},
       {"--mipmaps=all"}, {{"t_mip0.png", 0, -1, 0}, {"t_mip1.png", 1, -1, 0}}},
      {"non-square mip chain", {.width = 8, .height = 2, .mips = 4}, {"--mipmaps=all"},
       {{"t_mip0.png", 0, -1, 0}, {"t_mip1.png", 1, -1, 0}, {"t_mip2.png", 2, -1, 0},
        {"t_mip3.png", 3, -1, 0}}},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const std::string input = dir.path() + "t.dds";
    const std::string out = dir.path() + "out/";
    ASSERT_TRUE(createFolder(out));
    ASSERT_TRUE(writeBinaryFile(input, buildSurfaceDds(c.texture, surfacePixel))) << c.label;
    std::vector<std::string> arguments = {"-i", input, "-o", out, "-c", "png", "-d"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    const ProgramResult result = runProgramWith(arguments);
    EXPECT_TRUE(hasLine(result.out, "Files converted: 1 of 1")) << c.label << "\n" << result.out;

    std::vector<std::string> names;
    for (const Expected& file : c.files) names.push_back(file.name);
    std::vector<std::string> sorted = names;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(outputFiles(out), sorted) << c.label;
    for (const Expected& file : c.files) {
      EXPECT_TRUE(hasLine(result.out, "[OK] Saving As: " + out + file.name)) << c.label << " " << file.name;
      DecodedImage image;
      ASSERT_TRUE(decodeWithImageMagick(out + file.name, &image)) << c.label << " " << file.name;
      EXPECT_EQ(image.width, std::max(1, c.texture.width >> file.mip)) << c.label << " " << file.name;
      EXPECT_EQ(image.height, std::max(1, c.texture.height >> file.mip)) << c.label << " " << file.name;
      int wrong = 0;
      for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
          if (!(image.at(x, y) == surfacePixel(file.mip, file.face, file.layer, x, y))) ++wrong;
        }
      }
      EXPECT_EQ(wrong, 0) << c.label << " " << file.name;
    }
  }
}

// A cube map cut short inside its last face: the faces before it are
// written, the missing one fails, and that input does not count as converted.
TEST(Surfaces, AnInputCountsOnlyWhenEverySurfaceWasWritten) {
  TempDir dir;
  const std::string in = dir.path() + "in/";
  ASSERT_TRUE(createFolder(in));
  const std::string data = buildSurfaceDds({.width = 4, .height = 4, .cubeFaces = 0x3F}, surfacePixel);
  ASSERT_TRUE(writeBinaryFile(in + "whole.dds", data));
  ASSERT_TRUE(writeBinaryFile(in + "cut.dds", data.substr(0, data.size() - 1)));
  const ProgramResult result = runProgramWith({"-i", in, "-o", dir.path(), "-c", "png", "--faces=all"});
  EXPECT_TRUE(hasLine(result.out, "Files converted: 1 of 2")) << result.out;
  for (const char* face : {"posx", "negx", "posy", "negy", "posz", "negz"}) {
    EXPECT_TRUE(pathExists(dir.path() + "whole_" + std::string(face) + ".png")) << face;
    EXPECT_EQ(pathExists(dir.path() + "cut_" + std::string(face) + ".png"), face != std::string("negz"))
        << face;
  }
}

// A header claiming more depth slices than any texture may have is refused
// as a whole with --layers=all, instead of one file per claimed slice; the
// limit itself is accepted (this one is cut after three slices, so its
// fourth fails and it does not count), and the run goes on.
TEST(Surfaces, MoreThan2048SlicesAreRefused) {
  TempDir dir;
  const std::string in = dir.path() + "in/";
  const std::string out = dir.path() + "out/";
  ASSERT_TRUE(createFolder(in));
  ASSERT_TRUE(createFolder(out));
  const std::string atLimit = buildSurfaceDds({.width = 1, .height = 1, .depth = 2048}, surfacePixel);
  const std::string overLimit = buildSurfaceDds({.width = 1, .height = 1, .depth = 2049}, surfacePixel);
  ASSERT_TRUE(writeBinaryFile(in + "a.dds", atLimit.substr(0, 128 + 3 * 4)));
  ASSERT_TRUE(writeBinaryFile(in + "b.dds", overLimit));
  ASSERT_TRUE(writeBinaryFile(in + "c.dds", buildSurfaceDds({.width = 2, .height = 2}, surfacePixel)));
  const ProgramResult result =
      runProgramWith({"-i", in, "-o", out, "-c", "png", "--layers=all", "--threads=2"});
  EXPECT_TRUE(hasLine(result.out, "Error: Too many surfaces in " + in +
                                      "b.dds: more than 2048 array elements or depth slices"))
      << result.out;
  EXPECT_TRUE(hasLine(result.out, "Files converted: 1 of 3")) << result.out;
  EXPECT_EQ(outputFiles(out), (std::vector<std::string>{"a_layer0.png", "a_layer1.png",
                                                        "a_layer2.png", "c.png"}));
}
