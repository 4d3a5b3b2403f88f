// The whole program on the typical request (a folder with a subfolder,
// converted to PNG at half the size, with the debug report) and on a resize
// that cannot be made for one of two files.

#include <gtest/gtest.h>

#include "pipeline/independent_reader.h"
#include "platform/files.h"
#include "support/dds_builder.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

Rgba checker(int x, int y) {
  const uint8_t level = (x + y) % 2 ? 255 : 0;
  return Rgba{level, static_cast<uint8_t>(x * 30), static_cast<uint8_t>(y * 40), 255};
}

}  // namespace

TEST(TypicalRequest, WritesTheHalvedPngInTheMirroredSubfolder) {
  TempDir root;
  const std::string input = root.path() + "in/";
  const std::string output = root.path() + "out";
  ASSERT_TRUE(createFolder(input) && createFolder(input + "sub/"));
  ASSERT_TRUE(createFolder(output));  // the output folder must exist; its "sub" must not yet
  // 7 x 5 halves to 4 x 2: 3.5 and 2.5 both round to the even neighbour.
  ASSERT_TRUE(writeBinaryFile(input + "sub/a.dds",
                              buildUncompressedDds(7, 5, 32, kMasksA8R8G8B8, checker)));

  ProgramResult run = runProgramWith({"-i", input, "-o", output, "-c", "png", "--width=50",
                                      "--width-unit=percent", "--height=50",
                                      "--height-unit=percent", "-d"});
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(isFolder(output + "/sub")) << run.out;
  const std::string written = output + "/sub/a.png";
  EXPECT_EQ(identifyText(written, "%m %w %h"), "PNG 4 2") << run.out;
  EXPECT_NE(run.out.find("[OK] Saving As: " + written), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Files converted: 1 of 1"), std::string::npos) << run.out;
}

TEST(TypicalRequest, ASideKeptInProportionThatRoundsToZeroFailsOnlyThatFile) {
  TempDir root;
  const std::string input = root.path() + "in/";
  ASSERT_TRUE(createFolder(input));
  ASSERT_TRUE(writeBinaryFile(input + "fine.dds",
                              buildUncompressedDds(8, 4, 32, kMasksA8R8G8B8, checker)));
  ASSERT_TRUE(writeBinaryFile(input + "wide.dds",
                              buildUncompressedDds(1000, 2, 32, kMasksA8R8G8B8, checker)));
  // fine: 8 x 4 -> 2 x 1; wide: 1000 x 2 -> 2 x 0.004, which rounds to 0.
  ProgramResult run = runProgramWith({"-i", input, "-o", root.path(), "-c", "png", "--width=2",
                                      "--height=2", "--keep-aspect-ratio"});
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(identifyText(root.path() + "fine.png", "%w %h"), "2 1") << run.out;
  EXPECT_FALSE(pathExists(root.path() + "wide.png")) << run.out;
  EXPECT_NE(run.out.find("Files converted: 1 of 2"), std::string::npos) << run.out;
}
