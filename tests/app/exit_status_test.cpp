// What a script sees of a run: the exit status with --exit-code, and relative
// paths taken from the folder it was started in.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/dds_builder.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

void writeDds(const std::string& path) {
  ASSERT_TRUE(writeBinaryFile(path, buildUncompressedDds(4, 4, 32, kMasksA8R8G8B8, [](int x, int) {
                                return Rgba{static_cast<uint8_t>(x * 60), 0, 0, 255};
                              })));
}

}  // namespace

TEST(ExitStatus, TellsHowTheRunWentOnlyWhenAsked) {
  TempDir work;
  for (const char* folder : {"good", "mixed", "empty", "out"}) createFolder(work.path() + folder);
  writeDds(work.path() + "good/a.dds");
  writeDds(work.path() + "mixed/a.dds");
  ASSERT_TRUE(writeWholeFile(work.path() + "mixed/b.dds", "not a texture"));
  ASSERT_TRUE(writeWholeFile(work.path() + "asks.ini", "[CLI]\n--exit-code=1\n"));
  struct Case {
    std::vector<std::string> arguments;
    int status;
  };
  const Case cases[] = {
      {{"--exit-code", "-i", "good", "-o", "out"}, 0},
      {{"--exit-code", "-i", "mixed", "-o", "out"}, 1},
      {{"--exit-code", "-i", "mixed/b.dds", "-o", "out"}, 1},
      {{"--exit-code", "-i", "empty", "-o", "out"}, 2},
      {{"--exit-code", "-i", "missing", "-o", "out"}, 2},
      {{"--exit-code", "-i", "good", "-o", "out", "-c", "nope"}, 2},
      {{"-i", "--exit-code"}, 2},  // the loop stops before it reads the option
      {{"--profile=asks.ini", "-i", "mixed", "-o", "out"}, 1},
      {{"--exit-code", "-h"}, 0},
      {{"--exit-code"}, 0},  // no input named: the help
      {{"-i", "mixed", "-o", "out"}, 0},
      {{"-i", "missing"}, 0},
  };
  for (const Case& c : cases) {
    std::string shown;
    for (const std::string& a : c.arguments) shown += " " + a;
    ProgramResult result = runProgramWith(c.arguments, "", work.path(), 60);
    EXPECT_EQ(result.exitCode, c.status) << shown << "\n" << result.out;
    EXPECT_EQ(result.err, "") << shown;
  }
}

TEST(RelativePaths, ResolveAgainstTheCurrentFolder) {
  TempDir work;
  createFolder(work.path() + "in");
  createFolder(work.path() + "in/sub");
  createFolder(work.path() + "out");
  writeDds(work.path() + "in/sub/a.dds");
  writeDds(work.path() + "b.dds");
  ProgramResult result =
      runProgramWith({"-q", "-i", "./in", "-o", "out/", "-c", "png"}, "", work.path(), 60);
  EXPECT_EQ(result.out, "") << result.out;
  EXPECT_TRUE(pathExists(work.path() + "out/sub/a.png"));
  runProgramWith({"-q", "-i", "b.dds", "-o", "out", "-c", "jpg"}, "", work.path(), 60);
  EXPECT_TRUE(pathExists(work.path() + "out/b.jpg"));
  runProgramWith({"-q", "-i", "b.dds", "-c", "tga"}, "", work.path(), 60);
  EXPECT_TRUE(pathExists(work.path() + "b.tga"));
}
