// Outputs that cannot be written, through the built program: a full disk, a
// path that cannot be created, memory running out. Each fails its own file
// with one Error line, leaves no temporary file and no damaged old output, and
// the batch goes on.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "platform/files.h"
#include "support/dds_builder.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

// One row per writer family: our PNG writer (stored: straight from the
// image; deflated: from memory), FreeImage straight from the image (bmp) and
// from memory (tiff, also for libtiff's messages), DevIL, libjxr and the
// exact-palette bitmap writer.
struct Family {
  const char* extension;
  std::vector<std::string> options;
};
const Family kFamilies[] = {
    {"png", {"-c", "png"}},
    {"png", {"-c", "png", "--png-compression=zlib6"}},
    {"bmp", {"-c", "bmp"}},
    {"tiff", {"-c", "tiff"}},
    {"dds", {"-c", "dds"}},
    {"jxr", {"-c", "jxr"}},
    {"bmp", {"-c", "bmp", "--bmp-bpp=8", "--bmp-color-table=EXACT"}},
};

// Noise, so that no encoder can make the file small.
void writeNoiseDds(const std::string& path, int side) {
  std::string data = buildUncompressedDds(side, side, 32, kMasksA8R8G8B8, [](int x, int y) {
    uint32_t h = static_cast<uint32_t>(x) * 2654435761u ^ static_cast<uint32_t>(y) * 40503u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    return Rgba{static_cast<uint8_t>(h), static_cast<uint8_t>(h >> 8), static_cast<uint8_t>(h >> 16),
                255};
  });
  ASSERT_TRUE(writeBinaryFile(path, data)) << path;
}

ProgramResult runBatch(std::vector<std::string> arguments, uint64_t addressSpaceLimit = 0) {
  ProgramResult result = runProgramWith(arguments, "", "", 120, "", addressSpaceLimit);
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 0) << result.err;
  return result;
}

std::vector<std::string> errorLines(const std::vector<std::string>& lines) {
  std::vector<std::string> errors;
  for (const std::string& line : lines) {
    if (line.rfind("Error: ", 0) == 0) errors.push_back(line);
  }
  return errors;
}

std::vector<std::string> folderNames(const std::string& folder) {
  std::vector<FolderEntry> entries;
  listFolder(folder, &entries);
  std::vector<std::string> names;
  for (const FolderEntry& entry : entries) names.push_back(entry.name);
  return names;
}

// A small tmpfs mounted for the test's lifetime (needs root, as in CI).
class SmallDisk {
 public:
  explicit SmallDisk(const std::string& folder) : folder_(folder) {
    createFolder(folder);
    const std::string command = "mount -t tmpfs -o size=256k tmpfs '" + folder + "' 2>/dev/null";
    mounted_ = std::system(command.c_str()) == 0;
  }
  ~SmallDisk() {
    if (mounted_) std::system(("umount '" + folder_ + "'").c_str());
  }
  bool mounted() const { return mounted_; }

 private:
  std::string folder_;
  bool mounted_ = false;
};

}  // namespace

TEST(OutputFailures, AFullDiskFailsTheFileAndKeepsTheOldOutput) {
  TempDir base;
  const std::string in = base.path() + "in/";
  const std::string out = base.path() + "out/";
  createFolder(in);
  SmallDisk disk(out);
  if (!disk.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";
  writeNoiseDds(in + "a.dds", 1024);  // every encoding of it passes 256 KiB
  writeNoiseDds(in + "b.dds", 16);

  for (const Family& family : kFamilies) {
    const std::string ext = family.extension;
    for (const std::string& name : folderNames(out)) removeFile(out + name);
    const std::string old = "the old output of a, kept on failure";
    ASSERT_TRUE(writeWholeFile(out + "a." + ext, old));

    std::vector<std::string> arguments = {"-i", in, "-o", out};
    arguments.insert(arguments.end(), family.options.begin(), family.options.end());
    ProgramResult result = runBatch(arguments);
    std::vector<std::string> lines = outputLines(result.out);
    EXPECT_EQ(result.err, "") << ext << ": nothing on standard error, libtiff's included";
    EXPECT_EQ(errorLines(lines), std::vector<std::string>{"Error: Unable to write " + out + "a." +
                                                          ext + ": No space left on device"})
        << ext;
    ASSERT_FALSE(lines.empty()) << ext;
    EXPECT_EQ(lines.back(), "Files converted: 1 of 2") << ext;
    std::string kept;
    ASSERT_TRUE(readWholeFile(out + "a." + ext, &kept));
    EXPECT_TRUE(kept == old) << ext << ": the old output was replaced (" << kept.size() << " bytes)";
    EXPECT_EQ(folderNames(out), (std::vector<std::string>{"a." + ext, "b." + ext}))
        << ext << ": no temporary file is left";
    EXPECT_GT(fileSize(out + "b." + ext), 0) << ext << ": the next file is converted";
  }
}

TEST(OutputFailures, AnOutputPathThatCannotBeCreatedIsOneErrorLine) {
  TempDir base;
  const std::string in = base.path() + "in/";
  createFolder(in);
  writeNoiseDds(in + "a.dds", 16);
  // A 500-byte output folder holding a plain file where the mask wants a
  // folder (permissions would not stop root, a file in the way does).
  std::string deep = base.path();
  while (deep.size() < 500) {
    deep += std::string(40, 'f') + "/";
    createFolder(deep);
  }
  ASSERT_TRUE(writeWholeFile(deep + "file", "in the way"));
  std::string missing;
  for (int i = 0; i < 250; ++i) missing += "d/";

  struct PathCase {
    std::string outputFolder;
    std::string mask;
    std::string reason;
  } cases[] = {
      {base.path(), missing + "x", "No such file or directory"},
      {deep, "file/x", "Not a directory"},
  };
  for (const Family& family : kFamilies) {
    for (const PathCase& c : cases) {
      std::vector<std::string> arguments = {"-i", in, "-o", c.outputFolder,
                                            "--filename-mask=" + c.mask};
      arguments.insert(arguments.end(), family.options.begin(), family.options.end());
      ProgramResult result = runBatch(arguments);
      std::vector<std::string> lines = outputLines(result.out);
      const std::string label = std::string(family.extension) + " " + c.reason;
      EXPECT_EQ(result.err, "") << label;
      EXPECT_EQ(errorLines(lines), std::vector<std::string>{"Error: Unable to write " +
                                                            c.outputFolder + c.mask + ": " +
                                                            c.reason})
          << label;
      ASSERT_FALSE(lines.empty()) << label;
      EXPECT_EQ(lines.back(), "Conversion stopped") << label;
    }
  }
  EXPECT_EQ(folderNames(deep), std::vector<std::string>{"file"});
}

TEST(OutputFailures, RunningOutOfMemoryFailsOnlyThatFile) {
  TempDir base;
  const std::string in = base.path() + "in/";
  const std::string out = base.path() + "out/";
  createFolder(in);
  createFolder(out);
  // An 8192 x 8192 32-bit texture: 256 MiB of pixels, sparse on disk.
  constexpr int kSide = 8192;
  std::string header = buildUncompressedDds(4, 4, 32, kMasksA8R8G8B8, [](int, int) {
    return Rgba{};
  }).substr(0, 128);
  for (int offset : {12, 16}) {  // height, width
    for (int i = 0; i < 4; ++i) header[offset + i] = static_cast<char>((kSide >> (8 * i)) & 0xFF);
  }
  const uint32_t pitch = kSide * 4;
  for (int i = 0; i < 4; ++i) header[20 + i] = static_cast<char>((pitch >> (8 * i)) & 0xFF);
  ASSERT_TRUE(writeBinaryFile(in + "a-large.dds", header));
  ASSERT_EQ(truncate((in + "a-large.dds").c_str(), 128 + static_cast<off_t>(pitch) * kSide), 0);
  writeNoiseDds(in + "b-small.dds", 16);

  // What the program needs for a small file, found by halving; the large one
  // then gets room for its 256 MiB of pixels but not for a second copy, which
  // deflating a PNG needs (its filtered rows).
  uint64_t low = 16ull << 20, high = 4096ull << 20;
  while (high - low > (8ull << 20)) {
    const uint64_t middle = (low + high) / 2;
    ProgramResult probe = runProgramWith(
        {"-q", "-i", in + "b-small.dds", "-o", out, "-c", "png", "--png-compression=zlib6"}, "", "",
        60, "", middle);
    (probe.exitCode == 0 && pathExists(out + "b-small.png") ? high : low) = middle;
    removeFile(out + "b-small.png");
  }
  if (high >= (4096ull << 20)) GTEST_SKIP() << "the program does not start under a memory limit";

  // One worker: with two, both files share the limit and the small one may
  // fail for want of memory as well.
  ProgramResult result =
      runBatch({"-i", in, "-o", out, "-c", "png", "--png-compression=zlib6", "--threads=1"},
               high + (384ull << 20));
  std::vector<std::string> lines = outputLines(result.out);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(errorLines(lines),
            std::vector<std::string>{"Error: Not enough memory to convert " + in + "a-large.dds"});
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "Files converted: 1 of 2");
  EXPECT_GT(fileSize(out + "b-small.png"), 0);
  EXPECT_EQ(folderNames(out), std::vector<std::string>{"b-small.png"});
}
