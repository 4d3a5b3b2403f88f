// Runs the built program and checks what a user sees.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <utility>

#include "app/help_text.h"
#include "app/program_identity.h"
#include "platform/files.h"
#include "support/dds_builder.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

const char kExpectedHelp[] =
    " \r\n"
    "Usage: pellucidcmd -i <filename> [options]\r\n"
    " \r\n"
    "  pellucidcmd -i example.dds\r\n"
    "  pellucidcmd -i /tmp/example.dds\r\n"
    "  pellucidcmd -i /tmp/example.dds -o /srv/converted\r\n"
    "  pellucidcmd -i /tmp/filelist.txt\r\n"
    "  pellucidcmd -i /tmp/ -o /srv/converted --jpg-quality=95\r\n"
    "  pellucidcmd -i /tmp/ -o /srv/converted -c bmp --jpg-quality=95\r\n"
    " \r\n"
    "Options:\r\n"
    " \r\n"
    "  -h, -?, --help            Display this help and exit\r\n"
    "  -i FILE, --input=FILE     Set input file/list/folder\r\n"
    "  -o PATH, --output=PATH    Set output folder\r\n"
    "  -c STR, --conversion=STR  Set output extension, STR = (jpg | bmp | ...)\r\n"
    " \r\n"
    "Advanced options:\r\n"
    " \r\n"
    "  --width=NUM               Set output image width\r\n"
    "  --height=NUM              Set output image height\r\n"
    "  --filename-mask=STR       Define output filename format\r\n"
    "  --flip-horizontal         Flip output image horizontally\r\n"
    "  --flip-vertical           Flip output image vertically\r\n"
    "  --brightness=NUM          Set output image brightness, NUM = -100..100\r\n"
    "  --contrast=NUM            Set output image contrast, NUM = -100..100\r\n"
    "  --gamma=NUM               Set output image gamma, NUM = 0.01..9.99\r\n"
    "  --invert                  Invert output image\r\n"
    "  --greyscale               Greyscale output image\r\n"
    "  --mipmaps=top|all         Convert DDS mip levels: the top one or all\r\n"
    "  --faces=first|all         Convert DDS cube faces: the first or all\r\n"
    "  --layers=first|all        Convert DDS array or volume slices\r\n"
    "  --normal-map=off|on|auto  Rebuild the Z (blue) of normal maps\r\n"
    "  --profile=FILE            Set configuration file with required settings\r\n"
    "    ...                     Refer documentation for all available options\r\n"
    " \r\n"
    "Other options:\r\n"
    " \r\n"
    "  -q, --quiet               Don't print status messages to stdout\r\n"
    "  -d, --debug               Print debug information to stdout\r\n"
    "  -p, --pause               Pause at exit\r\n"
    "  -v, --version             Display version information and exit\r\n";

const char kErrorCount[] = "Error: Incorrect number of parameters\r\n";

// Every run ends with code 0, in time, and writes nothing to standard error.
ProgramResult runChecked(const std::vector<std::string>& arguments, const std::string& input = "",
                         const std::string& folder = "") {
  ProgramResult result = runProgramWith(arguments, input, folder, 60);
  std::string shown;
  for (const std::string& a : arguments) shown += "[" + a + "]";
  EXPECT_FALSE(result.timedOut) << shown;
  EXPECT_EQ(result.exitCode, 0) << shown;
  EXPECT_EQ(result.err, "") << shown;
  outputLines(result.out);  // every line ends in CR LF
  return result;
}

}  // namespace

TEST(VersionText, InsertsDotsAndDropsAZeroPatchLevel) {
  EXPECT_EQ(VersionText(300), "3.0");
  EXPECT_EQ(VersionText(312), "3.1.2");
  EXPECT_EQ(VersionText(310), "3.1");
  EXPECT_EQ(VersionText(301), "3.0.1");
  EXPECT_EQ(VersionText(5), "5.");  // not a three-digit version, but no crash
  EXPECT_EQ(TitleText("Quillon", 300), "Quillon 3.0");
}

TEST(HelpText, HasFortyTwoLinesWithBlankLinesOfOneSpace) {
  std::vector<std::string> lines = helpLines("prog");
  ASSERT_EQ(lines.size(), 42u);
  EXPECT_EQ(lines[1], "Usage: prog -i <filename> [options]");
  EXPECT_EQ(lines[8], "  prog -i /tmp/ -o /srv/converted -c bmp --jpg-quality=95");
  for (const std::string& line : lines) EXPECT_FALSE(line.empty());
}

TEST(MainDriver, HelpIsPrintedByteForByte) {
  for (std::vector<std::string> arguments :
       {std::vector<std::string>{"-h"}, {"-?"}, {"--help"}, {"--HELP=yes"}, {" -H ", "-i", "x"}}) {
    EXPECT_EQ(runChecked(arguments).out, kExpectedHelp) << arguments[0];
  }
}

TEST(MainDriver, NoInputNamedShowsTheHelp) {
  for (std::vector<std::string> arguments :
       {std::vector<std::string>{}, {"-q", "-h"}, {"--jpg-quality=95"}, {"-d"}, {"-i=a.dds"},
        {"stray"}, {""}, {"-p"}}) {
    EXPECT_EQ(runChecked(arguments).out, kExpectedHelp) << arguments.size();
  }
}

TEST(MainDriver, VersionIsOneLine) {
  EXPECT_EQ(runChecked({"-v"}).out, "3.0\r\n");
  EXPECT_EQ(runChecked({"--Version"}).out, "3.0\r\n");
  EXPECT_EQ(runChecked({"-V", "-h"}).out, "3.0\r\n");
}

TEST(MainDriver, WindowedEditionModesEndSilently) {
  EXPECT_EQ(runChecked({"-U"}).out, "");
  EXPECT_EQ(runChecked({"-t", "demo"}).out, "");
}

TEST(MainDriver, ErrorsPrintOneLineWithoutBanner) {
  TempDir folder;
  EXPECT_EQ(runChecked({"-i"}).out, kErrorCount);
  EXPECT_EQ(runChecked({"-i", "-p"}).out, kErrorCount);
  EXPECT_EQ(runChecked({"-i", "a.dds", "--jpg-quality", "95"}).out, kErrorCount);
  EXPECT_EQ(runChecked({"-o", "-x", "-i", "a.dds"}).out, kErrorCount);
  EXPECT_EQ(runChecked({"--wm-text=", "-i", "a.dds"}).out, kErrorCount);
  EXPECT_EQ(runChecked({"--profile=" + folder.path() + "missing.ini", "-i", "a.dds"}).out,
            "Error: Invalid profile file\r\n");
  EXPECT_EQ(runChecked({"--profile=" + folder.path(), "-i", "a.dds"}).out,
            "Error: Invalid profile file\r\n");
}

TEST(MainDriver, PauseAfterAnErrorWaitsWithoutPromptAndEndsAtEndOfInput) {
  EXPECT_EQ(runChecked({"-p", "-i"}).out, kErrorCount);
  EXPECT_EQ(runChecked({"-p", "-i"}, "x").out, kErrorCount);
}

TEST(MainDriver, RunPrintsTheBannerUnlessQuiet) {
  TempDir folder;
  std::vector<std::string> lines = outputLines(runChecked({"-i", "a.dds"}, "", folder.path()).out);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], "Quillon 3.0");
  EXPECT_NE(lines[1].find("(c)"), std::string::npos) << lines[1];
  EXPECT_EQ(lines[1].find("\xC2\xA9"), std::string::npos) << lines[1];
  EXPECT_EQ(lines[2].rfind("https://", 0), 0u) << lines[2];
  EXPECT_EQ(lines[3], " ");

  std::string quiet = runChecked({"-q", "-i", "a.dds"}, "", folder.path()).out;
  EXPECT_EQ(quiet.find("Quillon 3.0"), std::string::npos) << quiet;
}

TEST(MainDriver, PauseAfterARunPromptsAndEndsAtEndOfInput) {
  TempDir folder;
  std::vector<std::string> lines =
      outputLines(runChecked({"-i", "a.dds", "-p", "-q"}, "", folder.path()).out);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "Press any key to exit.");
}

TEST(MainDriver, SecondCopyWaitsForTheFirstThenConverts) {
  TempDir lockFolder;
  TempDir work;
  ASSERT_TRUE(writeBinaryFile(work.path() + "a.dds",
                              buildUncompressedDds(4, 4, 32, kMasksA8R8G8B8,
                                                   [](int, int) { return Rgba{1, 2, 3, 255}; })));
  BackgroundProgram first({"-p", "-i", "something"}, lockFolder.path(), work.path());
  ASSERT_TRUE(first.waitForOutput("Press any key to exit.\r\n", 60));
  // Help and version never wait for the lock.
  EXPECT_EQ(runProgramWith({"-v"}, "", "", 60, lockFolder.path()).out, "3.0\r\n");

  BackgroundProgram second({"-q", "-i", "a.dds", "-c", "png"}, lockFolder.path(), work.path());
  const std::string waiting = "Waiting for another copy of pellucidcmd to finish...\n";
  ASSERT_TRUE(second.waitForOutput(waiting, 60, true));
  EXPECT_TRUE(second.running());
  EXPECT_FALSE(pathExists(work.path() + "a.png"));

  ProgramResult ended = first.finish("k", 60);
  EXPECT_EQ(ended.exitCode, 0);
  EXPECT_EQ(ended.err, "");
  ProgramResult converted = second.finish("", 60);
  EXPECT_FALSE(converted.timedOut);
  EXPECT_EQ(converted.exitCode, 0);
  EXPECT_EQ(converted.err, waiting) << "the waiting line comes once";
  EXPECT_TRUE(pathExists(work.path() + "a.png"));
}

// Parts of one split input convert side by side, as the tasks of a cluster job
// array do on one node; one part started twice into one folder, and an
// unsplit run, still wait.
TEST(MainDriver, AShardRunWaitsOnlyForItsOwnPartAndFolder) {
  TempDir lockFolder;
  TempDir work;
  ASSERT_TRUE(createFolder(work.path() + "in") && createFolder(work.path() + "out") &&
              createFolder(work.path() + "other") && createFolder(work.path() + "whole"));
  for (const char* name : {"a", "b", "c", "d", "e", "f", "g", "h"}) {
    ASSERT_TRUE(writeBinaryFile(work.path() + "in/" + name + ".dds",
                                buildUncompressedDds(4, 4, 32, kMasksA8R8G8B8,
                                                     [](int, int) { return Rgba{1, 2, 3, 255}; })));
  }
  auto run = [](std::vector<std::string> arguments) {
    arguments.insert(arguments.end(), {"-q", "-c", "png", "-i", "in/"});
    return arguments;
  };
  BackgroundProgram holder(run({"-p", "-o", "out", "--shard=1/2"}), lockFolder.path(), work.path());
  ASSERT_TRUE(holder.waitForOutput("Press any key to exit.\r\n", 60));

  // Another part into the same folder, the same part into another folder.
  for (const auto& [shard, folder] : {std::pair{"--shard=2/2", "out"}, {"--shard=1/2", "other"}}) {
    ProgramResult result =
        runProgramWith(run({shard, "-o", folder}), "", work.path(), 20, lockFolder.path());
    EXPECT_FALSE(result.timedOut) << shard << " " << folder;
    EXPECT_EQ(result.err, "") << shard << " " << folder;
  }
  const std::string waiting = "Waiting for another copy of pellucidcmd to finish...\n";
  BackgroundProgram samePart(run({"-o", work.path() + "out/", "--shard=1/2"}), lockFolder.path(),
                             work.path());
  BackgroundProgram unsplit(run({"-o", "whole"}), lockFolder.path(), work.path());
  EXPECT_TRUE(samePart.waitForOutput(waiting, 60, true));
  EXPECT_TRUE(unsplit.waitForOutput(waiting, 60, true));
  EXPECT_FALSE(pathExists(work.path() + "whole/a.png"));

  EXPECT_EQ(holder.finish("k", 60).exitCode, 0);
  EXPECT_EQ(samePart.finish("", 60).err, waiting);
  EXPECT_EQ(unsplit.finish("", 60).err, waiting);
  for (const char* name : {"a", "b", "c", "d", "e", "f", "g", "h"}) {
    EXPECT_TRUE(pathExists(work.path() + "out/" + name + ".png")) << name;
    EXPECT_TRUE(pathExists(work.path() + "whole/" + name + ".png")) << name;
  }
}

TEST(MainDriver, AMissingRuntimeFolderFallsBackToAPrivateFolder) {
  TempDir temporary;
  TempDir work;
  const std::string fallback = temporary.path() + "pellucidcmd-" + std::to_string(geteuid());
  setenv("TMPDIR", temporary.path().c_str(), 1);
  ProgramResult result = runProgramWith({"-i", "a.dds"}, "", work.path(), 60,
                                        temporary.path() + "missing");
  EXPECT_NE(result.out.find("Error: Invalid input file"), std::string::npos) << result.out;
  struct stat info {};
  ASSERT_EQ(lstat(fallback.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(info.st_mode & 0777, 0700u);

  // A fallback folder others may write to is refused with an Error line.
  ASSERT_EQ(chmod(fallback.c_str(), 0777), 0);
  result = runProgramWith({"--exit-code", "-i", "a.dds"}, "", work.path(), 60,
                          temporary.path() + "missing");
  unsetenv("TMPDIR");
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.out.rfind("Error: Unable to make sure that only one copy runs: " + fallback, 0),
            0u)
      << result.out;
}

TEST(MainDriver, BadInputNeverCrashesOrHangs) {
  TempDir folder;
  std::string binary;
  for (int i = 0; i < 70000; ++i) binary.push_back(static_cast<char>((i * 131 + 7) & 0xFF));
  ASSERT_TRUE(writeWholeFile(folder.path() + "binary.ini", binary));
  ASSERT_TRUE(writeWholeFile(folder.path() + "odd.ini",
                             "[CLI]\n--wm-text=\xff\xfe\xc0\xaf\n--width=999999999999999999999\n"
                             "--gamma=1e-99999\n--dither=\xe2\x82\n\"\n"));
  std::vector<std::vector<std::string>> lines = {
      {"--width=99999999999999999999999999999999", "-i", "a.dds"},
      {"--gamma=-1e400", "--rotation=$FFFFFFFFFFFFFFFFFFFF", "-i", "a.dds"},
      {"\"", "-i", "a.dds"},
      {"--wm-text=\"", "-i", "a.dds"},
      {"--wm-text=\xff\xfe", "-\xff", "--\xc3=\xc3", "-i", "\xff.dds"},
      {"--profile=" + folder.path() + "binary.ini", "-i", "a.dds"},
      {"--profile=" + folder.path() + "odd.ini", "-i", "a.dds"},
      {"--profile= ", "-i", "a.dds"},
      {std::string(100000, 'x'), "-i", "a.dds"},
      {"--" + std::string(5000, '-') + "=", "-i", "a.dds"},
  };
  for (const std::vector<std::string>& arguments : lines) {
    ProgramResult result = runChecked(arguments, "", folder.path());
    EXPECT_FALSE(result.out.empty()) << arguments[0].substr(0, 40);
  }
}
