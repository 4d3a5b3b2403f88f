// The batch run through the built program: report, error lines, input
// enumeration, per-file lines, output folders, names and file times.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <set>
#include <thread>

#include "pipeline/independent_reader.h"
#include "platform/files.h"
#include "support/dds_builder.h"
#include "support/default_report.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

void writeDds(const std::string& path, int width = 8, int height = 8) {
  std::string data = buildUncompressedDds(width, height, 32, kMasksA8R8G8B8, [](int x, int y) {
    return Rgba{static_cast<uint8_t>(x * 30), static_cast<uint8_t>(y * 30), 128, 255};
  });
  ASSERT_TRUE(writeBinaryFile(path, data)) << path;
}

void writeText(const std::string& path, const std::string& text) {
  ASSERT_TRUE(writeWholeFile(path, text)) << path;
}

std::vector<std::string> run(const std::vector<std::string>& arguments,
                             const std::string& workingFolder = "") {
  ProgramResult result = runProgramWith(arguments, "", workingFolder, 60);
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, "") << "nothing goes to standard error";
  return outputLines(result.out);
}

// The lines from the first one equal to first on (the banner comes before).
std::vector<std::string> from(const std::vector<std::string>& lines, const std::string& first) {
  auto start = std::find(lines.begin(), lines.end(), first);
  EXPECT_NE(start, lines.end()) << "no line " << first;
  return std::vector<std::string>(start, lines.end());
}

bool contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::vector<std::string> errorLines(const std::vector<std::string>& lines) {
  std::vector<std::string> errors;
  for (const std::string& line : lines) {
    if (line.rfind("Error: ", 0) == 0) errors.push_back(line);
  }
  return errors;
}

// Names in folder, subfolders not entered.
std::set<std::string> namesIn(const std::string& folder) {
  std::set<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// An input folder and an existing output folder in one temporary folder.
struct Folders {
  TempDir base;
  std::string in = base.path() + "in/";
  std::string out = base.path() + "out/";
  Folders() {
    createFolder(in);
    createFolder(out);
  }
};

}  // namespace

TEST(BatchRun, DefaultDebugReportIsTheFullSequence) {
  Folders f;
  const std::vector<std::string> expected = defaultReportOfEmptyBmpRun(f.in, f.out);
  EXPECT_EQ(from(run({"-i", f.in, "-o", f.out, "-d"}), "Preparing..."), expected);
}

TEST(BatchRun, QuietDebugKeepsReportAndPerFileLinesOnly) {
  Folders f;
  writeDds(f.in + "a.dds");
  std::vector<std::string> lines = run({"-q", "-i", f.in, "-o", f.out, "-c", "png", "-d"});
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "Input: " + f.in) << "no banner and no phase line first";
  for (const char* phase : {"Preparing...", "Importing...", "Import complete, new files added: 1",
                            "Converting...", "Conversion complete", "Files converted: 1 of 1"}) {
    EXPECT_FALSE(contains(lines, phase)) << phase;
  }
  std::vector<std::string> tail = {"Keep Subfolders: 1", "Processing: " + f.in + "a.dds",
                                   "File Format: [ERROR] UNRECOGNIZED",
                                   "[OK] Saving As: " + f.out + "a.png"};
  EXPECT_EQ(from(lines, "Keep Subfolders: 1"), tail);
}

TEST(BatchRun, EachCheckPrintsItsErrorLineFirstFailureOnly) {
  Folders f;
  writeText(f.in + "empty.dds", "");
  createFolder(f.base.path() + "tmp.old");
  struct Case {
    std::vector<std::string> arguments;
    const char* error;
  } cases[] = {
      {{"-i", f.in + "missing.dds"}, "Error: Invalid input file"},
      {{"-i", f.in + "empty.dds"}, "Error: Invalid input file"},
      {{"-i", f.base.path() + "tmp.old"}, "Error: Invalid input file"},
      {{"-i", "../in"}, "Error: Incorrect input folder"},
      {{"-i", f.base.path() + "nothing"}, "Error: Invalid input folder"},
      {{"-i", f.in, "-o", "../out"}, "Error: Incorrect output folder"},
      {{"-i", f.in, "-o", f.base.path() + "nothing"}, "Error: Invalid output folder"},
      {{"-i", f.in, "-c", "PNG"}, "Error: Invalid conversion type"},
      {{"-i", f.in, "-c", "png", "--png-bpp=12"}, "Error: Invalid png-bpp value"},
      {{"-i", f.in, "--bmp-bpp=48"}, "Error: Invalid bmp-bpp value"},
      {{"-i", f.in, "-c", "jpg", "--jpg-quality=0"}, "Error: Invalid jpg-quality value"},
      {{"-i", f.in, "-c", "jpg", "--jpg-quality=0", "--jpg-bpp=32"}, "Error: Invalid jpg-bpp value"},
      {{"-i", f.in, "-c", "webp", "--webp-quality=101"}, "Error: Invalid webp-quality value"},
      {{"-i", f.in, "--height=10"}, "Error: Invalid width value"},
      {{"-i", f.in, "--width=100"}, "Error: Invalid height value"},
      {{"-i", f.in, "--brightness=101"}, "Error: Invalid brightness value"},
      {{"-i", f.in, "--contrast=-101"}, "Error: Invalid contrast value"},
      {{"-i", f.in, "--gamma=10"}, "Error: Invalid gamma value"},
      {{"-i", f.in, "--wm-image=" + f.base.path() + "none.png"}, "Error: Invalid watermark image"},
      {{"-i", "../in", "-c", "PNG", "--gamma=10"}, "Error: Incorrect input folder"},
      {{"-i", f.in, "-c", "PNG", "--gamma=10"}, "Error: Invalid conversion type"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments = c.arguments;
    arguments.push_back("-d");
    std::vector<std::string> lines = run(arguments);
    std::string name = c.arguments[1] + " " + (c.arguments.size() > 2 ? c.arguments.back() : "");
    EXPECT_EQ(errorLines(lines), std::vector<std::string>{c.error}) << name;
    ASSERT_FALSE(lines.empty()) << name;
    EXPECT_EQ(lines.back(), c.error) << name << ": the run ends at the error";
  }
  // The same checks pass at their boundaries.
  std::vector<std::string> lines =
      run({"-i", f.in, "-o", f.out, "--gamma=9.99", "--brightness=-100", "--contrast=100"});
  EXPECT_TRUE(errorLines(lines).empty());
  lines = run({"-i", f.in, "-o", f.out, "--gamma=0.01", "--jpg-quality=0", "-c", "png"});
  EXPECT_TRUE(errorLines(lines).empty());
}

TEST(BatchRun, FolderTreeIsMirroredUnlessSubfoldersAreOff) {
  Folders f;
  createFolder(f.in + "sub");
  createFolder(f.in + "sub/deep");
  writeDds(f.in + "a.dds");
  writeDds(f.in + "sub/b.DDS");
  writeDds(f.in + "sub/deep/c.dds");
  writeText(f.in + "sub/skip.png", "not a texture");
  writeText(f.in + "sub/empty.dds", "");

  std::vector<std::string> lines = run({"-i", f.in, "-o", f.out, "-c", "png"});
  EXPECT_TRUE(contains(lines, "Import complete, new files added: 3"));
  EXPECT_TRUE(contains(lines, "Files converted: 3 of 3"));
  for (const char* made : {"a.png", "sub/b.png", "sub/deep/c.png"}) {
    EXPECT_GT(fileSize(f.out + made), 0) << made;
  }
  EXPECT_FALSE(pathExists(f.out + "sub/empty.png"));

  TempDir flat;
  lines = run({"-i", f.in, "-o", flat.path(), "-c", "png", "--no-subfolders"});
  EXPECT_TRUE(contains(lines, "Files converted: 3 of 3"));
  for (const char* made : {"a.png", "b.png", "c.png"}) {
    EXPECT_GT(fileSize(flat.path() + made), 0) << made;
  }
  EXPECT_FALSE(pathExists(flat.path() + "sub"));
}

TEST(BatchRun, ListFileCountsEachFileOnce) {
  Folders f;
  createFolder(f.in + "folder");
  createFolder(f.in + "folder/nested");
  writeDds(f.in + "a.dds");
  writeDds(f.in + "b.dds");
  writeDds(f.in + "folder/c.dds");
  writeDds(f.in + "folder/nested/d.dds");
  const std::string list = f.in + "a.dds\r\n" + f.in + "a.dds\n" + "  " + f.in + "b.dds  \n" +
                           "\t" + f.in + "b.dds\n" + f.in + "folder\n" + f.in + "folder/\n" +
                           f.in + "folder/c.dds\n";
  writeText(f.base.path() + "list.lst", list);
  std::vector<std::string> lines = run({"-i", f.base.path() + "list.lst", "-o", f.out, "-c", "png"});
  EXPECT_TRUE(contains(lines, "Import complete, new files added: 4"));
  EXPECT_TRUE(contains(lines, "Files converted: 4 of 4"));
  // Files found through a list have no subfolder.
  for (const char* made : {"a.png", "b.png", "c.png", "d.png"}) {
    EXPECT_GT(fileSize(f.out + made), 0) << made;
  }
}

TEST(BatchRun, AnUnreadableFileDoesNotStopTheBatch) {
  Folders f;
  writeText(f.in + "a-broken.dds", "DDS but not really a texture");
  writeDds(f.in + "b-good.dds");
  std::vector<std::string> lines = run({"-i", f.in, "-o", f.out, "-c", "png", "-d"});
  EXPECT_TRUE(contains(lines, "Import complete, new files added: 2"));
  EXPECT_TRUE(contains(lines, "[ERROR] Unable to convert the file!"));
  EXPECT_TRUE(contains(lines, "[OK] Saving As: " + f.out + "b-good.png"));
  EXPECT_EQ(lines.back(), "Files converted: 1 of 2");
  EXPECT_FALSE(pathExists(f.out + "a-broken.png"));
}

TEST(BatchRun, NothingConvertedEndsWithConversionStopped) {
  Folders f;
  writeText(f.in + "broken.dds", "DDS but not really a texture");
  std::vector<std::string> lines = run({"-q", "-i", f.in, "-o", f.out});
  EXPECT_EQ(lines, std::vector<std::string>{"Conversion stopped"});
}

TEST(BatchRun, CounterAdvancesOnlyAfterSuccessfulFiles) {
  Folders f;
  writeDds(f.in + "a.dds");
  writeText(f.in + "b.dds", "DDS broken");
  writeDds(f.in + "c.dds");
  std::vector<std::string> lines =
      run({"-i", f.in, "-o", f.out, "-c", "png", "--filename-mask=%filename%-%n%.%ext%"});
  EXPECT_TRUE(contains(lines, "Files converted: 2 of 3"));
  EXPECT_GT(fileSize(f.out + "a-00001.png"), 0);
  EXPECT_GT(fileSize(f.out + "c-00002.png"), 0) << "the failed file used no number";
}

TEST(BatchRun, FileTimesFollowThePolicy) {
  Folders f;
  // A zone without daylight saving, five hours behind UTC; the program
  // inherits it.
  setenv("TZ", "EST5", 1);
  tzset();
  writeDds(f.in + "a.dds");
  const int64_t sourceLocal = 1262345678;  // a date value, local time
  ASSERT_TRUE(setFileModifiedTime(f.in + "a.dds", sourceLocal));
  struct stat st {};

  run({"-i", f.in, "-o", f.out, "-c", "png", "--file-timestamp=ORIGINAL"});
  ASSERT_EQ(stat((f.out + "a.png").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, sourceLocal + 5 * 3600) << "the source's time";

  run({"-i", f.in, "-o", f.out, "-c", "bmp", "--file-timestamp=CUSTOM",
       "--file-timestamp-custom=1600000000"});
  ASSERT_EQ(stat((f.out + "a.bmp").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, 1600000000 + 5 * 3600) << "the custom date, taken as local time";

  const time_t before = time(nullptr);
  run({"-i", f.in, "-o", f.out, "-c", "tga"});
  ASSERT_EQ(stat((f.out + "a.tga").c_str(), &st), 0);
  EXPECT_GE(st.st_mtime, before - 1) << "CURRENT leaves the time of writing";
  unsetenv("TZ");
  tzset();
}

TEST(BatchRun, TheTypicalRequestWritesIntoTheMirroredSubfolder) {
  Folders f;
  createFolder(f.in + "sub");
  writeDds(f.in + "sub/a.dds", 16, 16);
  const std::string outWithoutSlash = f.out.substr(0, f.out.size() - 1);
  std::vector<std::string> lines =
      run({"-i", f.in, "-o", outWithoutSlash, "-c", "png", "--width=50", "--width-unit=percent",
           "--height=50", "--height-unit=percent", "-d"});
  for (const std::string& line :
       {"Output: " + outWithoutSlash, std::string("Conversion: png"), std::string("PNG BPP: 0"),
        std::string("Width: 50 percent"), std::string("Height: 50 percent"),
        std::string("Import complete, new files added: 1"), "Processing: " + f.in + "sub/a.dds",
        std::string("File Format: [ERROR] UNRECOGNIZED"),
        "[OK] Saving As: " + f.out + "sub/a.png", std::string("Conversion complete"),
        std::string("Files converted: 1 of 1")}) {
    EXPECT_TRUE(contains(lines, line)) << line;
  }
  EXPECT_GT(fileSize(f.out + "sub/a.png"), 0);
}

TEST(BatchRun, FileFormatNamesTheRealFormat) {
  Folders f;
  writeText(f.in + "a.dds", std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16));
  writeText(f.in + "b.dds", std::string("\xFF\xD8\xFF\xE1\x00\x10" "Exif\0\0", 12));
  std::vector<std::string> lines = run({"-i", f.in, "-o", f.out, "-d"});
  EXPECT_TRUE(contains(lines, "File Format: PNG"));
  EXPECT_TRUE(contains(lines, "File Format: JPEG/EXIF"));
}

TEST(BatchRun, BareFileNameWritesIntoTheCurrentFolder) {
  Folders f;
  writeDds(f.in + "x.dds");
  std::vector<std::string> lines = run({"-i", "x.dds", "-c", "png", "-d"}, f.in);
  EXPECT_TRUE(contains(lines, "Output: " + f.in));
  EXPECT_TRUE(contains(lines, "Files converted: 1 of 1"));
  EXPECT_GT(fileSize(f.in + "x.png"), 0);

  createFolder(f.in + "sub");
  writeDds(f.in + "sub/y.dds");
  lines = run({"-i", "sub/y.dds", "-c", "png"}, f.in);
  EXPECT_TRUE(contains(lines, "Files converted: 1 of 1"));
  EXPECT_GT(fileSize(f.in + "sub/y.png"), 0) << "beside the input, found from the current folder";
}

TEST(BatchRun, LibraryMessagesAreErrorLinesInEveryModeAndTheBatchGoesOn) {
  Folders f;
  writeDds(f.in + "a.dds");
  writeDds(f.in + "b.dds");
  // FreeImage cannot write a readable 16-bit icon; each file reports that.
  for (const char* mode : {"-q", "-d"}) {
    std::vector<std::string> lines = run({mode, "-i", f.in, "-o", f.out, "-c", "ico", "--ico-bpp=16"});
    std::vector<std::string> errors = errorLines(lines);
    EXPECT_EQ(errors.size(), 2u) << mode << ": one line per file";
    for (const std::string& error : errors) EXPECT_GT(error.size(), 7u) << mode;
    EXPECT_EQ(lines.back(), "Conversion stopped") << mode;
  }
  EXPECT_FALSE(pathExists(f.out + "a.ico"));
  EXPECT_FALSE(pathExists(f.out + "b.ico"));
}

TEST(BatchRun, PrintedPathsAreEscaped) {
  TempDir base;
  const std::string in = base.path() + "in\t/";  // the folder too: the report's "Input:" line
  const std::string out = base.path() + "out/";
  createFolder(in);
  createFolder(out);
  struct Case {
    std::string name;  // base name of the input, as bytes
    std::string shown;
  } cases[] = {
      {"line\nfeed", "line\\nfeed"},
      {"esc\x1b[2J", "esc\\x1b[2J"},
      {"bad\xff" "byte", "bad\\xffbyte"},
      {"back\\slash", "back\\\\slash"},
      {"\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},
  };
  for (const Case& c : cases) writeDds(in + c.name + ".dds");
  std::vector<std::string> lines = run({"-i", in, "-o", out, "-c", "png", "-d"});
  EXPECT_TRUE(contains(lines, "Input: " + base.path() + "in\\t/"));
  for (const Case& c : cases) {
    EXPECT_TRUE(contains(lines, "Processing: " + base.path() + "in\\t/" + c.shown + ".dds")) << c.shown;
    EXPECT_TRUE(contains(lines, "[OK] Saving As: " + out + c.shown + ".png")) << c.shown;
    EXPECT_GT(fileSize(out + c.name + ".png"), 0) << c.shown;
  }
  EXPECT_TRUE(contains(lines, "Files converted: 5 of 5"));
  for (const std::string& line : lines) EXPECT_EQ(line.find('\x1b'), std::string::npos) << line;
}

TEST(BatchRun, AnOutputWrittenInTheRunIsNotWrittenAgain) {
  struct Case {
    const char* label;
    std::vector<std::string> inputs;  // relative to the input folder
    std::vector<std::string> options;
    bool list;                        // name the inputs in a list file
    std::string output;               // the output the inputs share
    int converted;
  } cases[] = {
      // Names that differ in case only are different files here: only the
      // two that give the same output name meet.
      {"case", {"tex.dds", "tex.DDS", "Tex.dds", "TEX.Dds"}, {}, false, "tex.png", 3},
      {"lowered", {"tex.dds", "tex.DDS", "Tex.dds", "TEX.Dds"},
       {"--filename-mask=%filename[l]%.%ext%"}, false, "tex.png", 1},
      {"list", {"x/tex_0.dds", "y/tex_0.dds", "z/tex_0.dds"}, {}, true, "tex_0.png", 1},
      {"flat", {"a.dds", "sub/a.dds"}, {"--no-subfolders"}, false, "a.png", 1},
  };
  for (const Case& c : cases) {
    Folders f;
    std::string list;
    int width = 4;
    for (const std::string& input : c.inputs) {
      std::filesystem::create_directories(std::filesystem::path(f.in + input).parent_path());
      writeDds(f.in + input, width++, 4);  // each input its own width
      list += f.in + input + "\n";
    }
    writeText(f.base.path() + "list.lst", list);
    std::vector<std::string> arguments = {"-i", c.list ? f.base.path() + "list.lst" : f.in,
                                          "-o", f.out, "-c", "png"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    std::vector<std::string> lines = run(arguments);

    const size_t inputs = c.inputs.size();
    EXPECT_TRUE(contains(lines, "Files converted: " + std::to_string(c.converted) + " of " +
                                    std::to_string(inputs))) << c.label;
    const std::string prefix = "Error: " + f.out + c.output + " was already written from ";
    std::vector<std::string> errors = errorLines(lines);
    ASSERT_EQ(errors.size(), inputs - c.converted) << c.label;
    std::set<std::string> earlier;
    for (const std::string& error : errors) {
      ASSERT_EQ(error.rfind(prefix, 0), 0u) << c.label << ": " << error;
      earlier.insert(error.substr(prefix.size()));
    }
    ASSERT_EQ(earlier.size(), 1u) << c.label << ": all name the one input that wrote it";
    // The output holds the picture of that first input.
    const std::string first = *earlier.begin();
    const auto position = std::find_if(c.inputs.begin(), c.inputs.end(),
                                       [&](const std::string& i) { return f.in + i == first; });
    ASSERT_NE(position, c.inputs.end()) << c.label << ": " << first;
    DecodedImage written;
    ASSERT_TRUE(decodeWithImageMagick(f.out + c.output, &written)) << c.label;
    EXPECT_EQ(written.width, 4 + (position - c.inputs.begin())) << c.label;
  }
}

TEST(BatchRun, AFileSizeLimitFailsOnlyTheFileThatPassesIt) {
  Folders f;
  writeDds(f.in + "big.dds", 512, 512);  // a 768 KiB bitmap
  writeDds(f.in + "small.dds");
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  struct rlimit limited = saved;
  limited.rlim_cur = 256 * 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  ProgramResult result = runProgramWith({"-i", f.in, "-o", f.out, "-c", "bmp"});
  setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_EQ(result.signal, 0) << "the limit does not end the run";
  EXPECT_EQ(result.exitCode, 0);
  const std::vector<std::string> lines = outputLines(result.out);
  EXPECT_TRUE(contains(lines, "Files converted: 1 of 2"));
  const std::vector<std::string> errors = errorLines(lines);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("Error: Unable to write " + f.out + "big.bmp: ", 0), 0u) << errors[0];
  EXPECT_EQ(namesIn(f.out), std::set<std::string>{"small.bmp"}) << "no temporary file is left";
}

TEST(BatchRun, SignalsRemoveTheTemporaryFile) {
  struct Case {
    std::vector<std::string> extra;
    int signalNumber;
    int endedBy;     // the signal the process ends by, or 0
    int exitStatus;  // when it ends by exiting
  };
  // With --exit-code a stopped run exits with status 1 instead of by the signal.
  const Case cases[] = {{{}, SIGQUIT, SIGQUIT, 0}, {{"--exit-code"}, SIGINT, 0, 1}};
  struct rlimit noCore {};  // the quit signal must not leave a core file either
  setrlimit(RLIMIT_CORE, &noCore);
  for (const Case& c : cases) {
    Folders f;
    const std::set<std::string> finalNames = {"a.bmp", "b.bmp", "c.bmp"};
    for (const char* name : {"a.dds", "b.dds", "c.dds"}) writeDds(f.in + name, 2048, 2048);
    // One worker: the files after the first are still to convert when its
    // name appears, however many cores the machine has.
    std::vector<std::string> arguments = {"-i", f.in, "-o", f.out, "-c", "bmp", "--threads=1"};
    arguments.insert(arguments.end(), c.extra.begin(), c.extra.end());
    TempDir lockFolder;
    BackgroundProgram program(arguments, lockFolder.path());
    // Waits for the first name in the folder: the batch is at work on the
    // files after it (a temporary file, where the file system gives it a
    // name while it is written, is then there to be removed).
    bool signalled = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!signalled && program.running() && std::chrono::steady_clock::now() < deadline) {
      if (!namesIn(f.out).empty()) {
        program.sendSignal(c.signalNumber);
        signalled = true;
      }
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    ASSERT_TRUE(signalled) << "nothing written while the batch ran";
    ProgramResult result = program.finish("", 60);
    EXPECT_EQ(result.signal, c.endedBy) << c.signalNumber;
    if (c.endedBy == 0) {
      EXPECT_EQ(result.exitCode, c.exitStatus) << c.signalNumber;
    }
    for (const std::string& name : namesIn(f.out)) EXPECT_EQ(finalNames.count(name), 1u) << name;
  }
}

// A run killed outright (SIGKILL) cannot clean up; what it may leave, and
// what earlier killed writers left, the next run into the folder removes:
// temporary files whose process is gone and which nobody holds in use. A
// live writer's file stays: one whose process runs, and one held in use (as
// by a writer on another machine sharing the folder).
TEST(BatchRun, TheRunAfterAKillRemovesTheLeftovers) {
  Folders f;
  std::set<std::string> outputs;
  for (int i = 0; i < 16; ++i) {
    const std::string name = "t" + std::to_string(10 + i);
    writeDds(f.in + name + ".dds", 512, 512);
    outputs.insert(name + ".bmp");
  }
  TempDir lockFolder;
  BackgroundProgram program({"-i", f.in, "-o", f.out, "-c", "bmp", "--threads=2"}, lockFolder.path());
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (program.running() && namesIn(f.out).empty() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  program.sendSignal(SIGKILL);
  EXPECT_EQ(program.finish("", 60).signal, SIGKILL) << "the batch was still running";

  // What killed writers leave: files named with a process that is gone (or
  // with none, as earlier versions named them).
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  ASSERT_GT(gone, 0);
  waitpid(gone, nullptr, 0);
  const std::string dead = std::to_string(gone), alive = std::to_string(getpid());
  for (const std::string& name : {".pellucidaaaaa-" + dead + ".tmp", std::string(".pellucidbbbbb.tmp"),
                                  ".pellucidccccc-" + dead + ".tmp", ".pellucidddddd-" + alive + ".tmp"}) {
    writeText(f.out + name, "left over");
  }
  const int held = open((f.out + ".pellucidccccc-" + dead + ".tmp").c_str(), O_RDONLY);
  ASSERT_GE(held, 0);
  ASSERT_EQ(flock(held, LOCK_EX), 0);

  const std::vector<std::string> lines = run({"-i", f.in, "-o", f.out, "-c", "bmp", "--threads=2"});
  EXPECT_TRUE(contains(lines, "Files converted: 16 of 16"));
  close(held);
  std::set<std::string> expected = outputs;
  expected.insert(".pellucidccccc-" + dead + ".tmp");
  expected.insert(".pellucidddddd-" + alive + ".tmp");
  EXPECT_EQ(namesIn(f.out), expected);
  for (const std::string& name : outputs) {
    DecodedImage image;
    EXPECT_TRUE(decodeWithImageMagick(f.out + name, &image) && image.width == 512) << name;
  }
}
