// Whole runs of the program with a watermark: what the preparation pass
// accepts and refuses before any file is converted.

#include <gtest/gtest.h>

#include <algorithm>

#include "pipeline/independent_reader.h"
#include "platform/files.h"
#include "support/dds_builder.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

struct RunOutput {
  ProgramResult result;
  std::vector<std::string> lines;
};

RunOutput runWith(const TempDir& dir, std::vector<std::string> extra) {
  const std::string input = dir.path() + "in.dds";
  EXPECT_TRUE(writeWholeFile(input, buildUncompressedDds(120, 60, 32, kMasksA8R8G8B8, [](int, int) {
                                 return Rgba{10, 20, 30, 255};
                               })));
  createFolder(dir.path() + "out");
  std::vector<std::string> arguments = {"-i", input, "-o", dir.path() + "out", "-c", "png"};
  arguments.insert(arguments.end(), extra.begin(), extra.end());
  RunOutput run{runProgramWith(arguments, "", "", 60), {}};
  EXPECT_FALSE(run.result.timedOut);
  EXPECT_EQ(run.result.exitCode, 0);
  EXPECT_EQ(run.result.err, "");
  run.lines = outputLines(run.result.out);
  return run;
}

bool hasLine(const RunOutput& run, const std::string& line) {
  return std::find(run.lines.begin(), run.lines.end(), line) != run.lines.end();
}

}  // namespace

TEST(WatermarkRun, MissingOrEmptyPictureStopsTheRun) {
  TempDir dir;
  ASSERT_TRUE(writeWholeFile(dir.path() + "empty.png", ""));
  for (const std::string& picture : {dir.path() + "missing.png", dir.path() + "empty.png"}) {
    const RunOutput run = runWith(dir, {"--wm-image=" + picture});
    EXPECT_TRUE(hasLine(run, "Error: Invalid watermark image")) << picture << "\n" << run.result.out;
    EXPECT_FALSE(isFolder(dir.path() + "out/") && pathExists(dir.path() + "out/in.png")) << picture;
  }
}

TEST(WatermarkRun, AnyFontNameGivesAFont) {
  TempDir dir;
  for (const char* font : {"Arial", "No Such Face 4711", ""}) {
    const RunOutput run = runWith(dir, {"--wm-text=Hello", std::string("--wm-font=") + font, "--wm-font-size=1000"});
    for (const std::string& line : run.lines) {
      EXPECT_EQ(line.rfind("Error: Invalid", 0), std::string::npos) << font << ": " << line;
    }
  }
}

TEST(WatermarkRun, FramedAndWatermarkedOutput) {
  TempDir dir;
  const RunOutput run = runWith(dir, {"--wm-text=%width%x%height%", "--wm-back-opacity=255",
                                      "--wm-back-color=FFFFFF", "--fr-solid-left=3",
                                      "--fr-solid-left-color=FF0000"});
  ASSERT_TRUE(hasLine(run, "Files converted: 1 of 1")) << run.result.out;
  DecodedImage image;
  ASSERT_TRUE(decodeWithImageMagick(dir.path() + "out/in.png", &image));
  ASSERT_EQ(image.width, 120);
  EXPECT_EQ(image.at(1, 30), (Rgba{255, 0, 0, 255})) << "frame";
  EXPECT_EQ(image.at(50, 5), (Rgba{10, 20, 30, 255})) << "untouched";
  EXPECT_EQ(image.at(109, 49), (Rgba{255, 255, 255, 255})) << "block corner, 10 from the edges";
  EXPECT_EQ(image.at(110, 50), (Rgba{10, 20, 30, 255}));
}

TEST(WatermarkRun, DamagedPictureStillConvertsTheFile) {
  TempDir dir;
  ASSERT_TRUE(writeWholeFile(dir.path() + "bad.bmp", "BM" + std::string(100, '\xff')));
  const RunOutput run = runWith(dir, {"--wm-image=" + dir.path() + "bad.bmp"});
  EXPECT_TRUE(hasLine(run, "Files converted: 1 of 1")) << run.result.out;
  DecodedImage image;
  ASSERT_TRUE(decodeWithImageMagick(dir.path() + "out/in.png", &image));
  EXPECT_EQ(image.at(119, 59), (Rgba{10, 20, 30, 255}));
}

TEST(WatermarkRun, TextMemoryFollowsTheImageNotTheTextOrTheFont) {
  TempDir dir;
  std::string longText(200000, 'W');
  ASSERT_TRUE(writeWholeFile(dir.path() + "long.ini", "[CLI]\n--wm-text = " + longText + "\n"));
  const std::vector<std::vector<std::string>> cases = {
      {"--wm-text=W", "--wm-font-size=100000"},
      {"--wm-text=W", "--wm-font-size=100000", "--wm-text-antialiasing"},
      {"--wm-text=W", "--wm-text-padding=4096", "--wm-back-opacity=255"},
      {"--profile=" + dir.path() + "long.ini", "--wm-font-size=200"},
      {"--profile=" + dir.path() + "long.ini", "--wm-text-antialiasing"},
      {"--profile=" + dir.path() + "long.ini", "--wm-text-rotation=90"},
      {"--wm-text=W", "--wm-font-size=5000", "--wm-text-rotation=180"},
  };
  for (const std::vector<std::string>& options : cases) {
    const RunOutput run = runWith(dir, options);
    EXPECT_TRUE(hasLine(run, "Files converted: 1 of 1")) << options[1] << "\n" << run.result.out;
    // Drawn whole, each of these blocks needs more than a gigabyte.
    EXPECT_LT(run.result.peakMemoryKb, 200 * 1024) << options[0] << " " << options[1];
  }
}
