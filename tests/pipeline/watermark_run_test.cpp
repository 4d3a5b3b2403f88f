// Whole runs of the program with a watermark: what the preparation pass
// accepts and refuses before any file is converted.

#include <gtest/gtest.h>

#include <algorithm>

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
  EXPECT_TRUE(writeWholeFile(input, buildUncompressedDds(16, 8, 32, kMasksA8R8G8B8, [](int, int) {
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
