// Splitting a batch, through the built program: over several workers
// (--threads) the results are those of one worker, and over several machines
// (--shard) the parts together convert every file exactly once.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <sys/stat.h>

#include "batch/input_set.h"
#include "batch/shard.h"
#include "platform/files.h"
#include "support/dds_builder.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

std::string contentsOf(const std::string& path) {
  std::string data;
  EXPECT_TRUE(readWholeFile(path, &data)) << path;
  return data;
}

void writeDds(const std::string& path, int seed) {
  std::string data = buildUncompressedDds(6 + seed % 5, 7, 32, kMasksA8R8G8B8, [seed](int x, int y) {
    return Rgba{static_cast<uint8_t>(x * 30 + seed), static_cast<uint8_t>(y * 30), 99, 255};
  });
  ASSERT_TRUE(writeBinaryFile(path, data)) << path;
}

// Every file below root: relative path -> bytes (and, when asked, its
// modification time).
std::map<std::string, std::string> readTree(const std::string& root, bool withTimes = false) {
  std::map<std::string, std::string> tree;
  for (const auto& item : std::filesystem::recursive_directory_iterator(root)) {
    const std::string path = item.path().string();
    if (!item.is_regular_file()) {
      tree[path.substr(root.size())] = "folder";
      continue;
    }
    std::string& entry = tree[path.substr(root.size())] = contentsOf(path);
    struct stat status {};
    if (withTimes && stat(path.c_str(), &status) == 0) entry += std::to_string(status.st_mtime);
  }
  return tree;
}

// A corpus of folders with files of several sizes; shards of 3 get uneven parts.
std::string makeCorpus(const TempDir& base) {
  const std::string in = base.path() + "in/";
  for (const char* folder : {"in", "in/sub", "in/sub/deep"}) createFolder(base.path() + folder);
  int seed = 0;
  for (const char* folder : {"", "sub/", "sub/deep/"}) {
    for (const char* name : {"a", "b", "c", "d", "e"}) {
      writeDds(in + folder + name + ".dds", ++seed);
    }
  }
  return in;
}

}  // namespace

TEST(Shard, PartOfAFileIsFnv1aOfItsRelativePath) {
  // Fixed values: every build, on every machine, must split alike.
  EXPECT_EQ(shardOfKey("", 1000), static_cast<int32_t>(14695981039346656037ull % 1000));
  EXPECT_EQ(shardOfKey("a", 1000), static_cast<int32_t>(0xaf63dc4c8601ec8cull % 1000));
  InputEntry entry{"/mnt/x/in/sub/t.dds", 1, "sub/"};
  EXPECT_EQ(shardKey(entry), "sub/t.dds");
  InputEntry other{"/srv/in/sub/t.dds", 1, "sub/"};
  EXPECT_EQ(shardOfKey(shardKey(entry), 7), shardOfKey(shardKey(other), 7))
      << "mount points do not matter";
}

TEST(ParallelRun, ThreeShardsThroughGnuParallelMakeTheFullRun) {
  if (std::system("parallel --version >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "GNU parallel is not installed (scripts/setup.sh installs it)";
  }
  TempDir base;
  const std::string in = makeCorpus(base);
  const std::string full = base.path() + "full/";
  const std::string shared = base.path() + "shared/";
  createFolder(full);
  createFolder(shared);
  ProgramResult whole = runProgramWith({"-i", in, "-o", full, "-c", "png"});
  ASSERT_NE(whole.out.find("Files converted: 15 of 15"), std::string::npos) << whole.out;

  // Three copies at once, as three machines on shared storage would run them;
  // each has its own lock folder, as it would have on its own machine.
  const std::string command =
      "cd " + base.path() + " && parallel --will-cite -j3 'mkdir -p lock{} && XDG_RUNTIME_DIR=" +
      base.path() + "lock{} " + programPath() + " -i " + in + " -o " + shared +
      " -c png --shard={}/3 > shard{}.txt' ::: 1 2 3";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;

  EXPECT_EQ(readTree(shared), readTree(full)) << "same names, same bytes";
  int total = 0;
  const std::regex summary("Files converted: (\\d+) of (\\d+)");
  for (int k = 1; k <= 3; ++k) {
    const std::string out = contentsOf(base.path() + "shard" + std::to_string(k) + ".txt");
    std::smatch match;
    ASSERT_TRUE(std::regex_search(out, match, summary)) << out;
    EXPECT_EQ(match[1], match[2]) << out;
    EXPECT_LT(std::stoi(match[1]), 15) << "a shard converts only its part";
    total += std::stoi(match[1]);
  }
  EXPECT_EQ(total, 15) << "each file exactly once";
}

TEST(ParallelRun, AnyNumberOfWorkersGivesTheNamesBytesTimesAndReportOfOne) {
  TempDir base;
  const std::string in = base.path() + "in/";
  for (const char* folder : {"in", "in/sub", "out"}) createFolder(base.path() + folder);
  // Equal pictures, so only the drawn counter tells the outputs apart; broken
  // files early on make every later counter smaller than a worker assumes.
  const std::string picture = buildUncompressedDds(120, 40, 32, kMasksA8R8G8B8, [](int x, int y) {
    return Rgba{static_cast<uint8_t>(x * 6), static_cast<uint8_t>(y * 9), 77, 255};
  });
  // With --faces=all a cube map gives a file per face; one cut inside its
  // last face writes five of them and takes a number, yet does not count.
  const std::string cube = buildSurfaceDds(
      {.width = 8, .height = 8, .cubeFaces = 0x3F},
      [](int, int face, int, int x, int y) {
        return Rgba{static_cast<uint8_t>(40 * face), static_cast<uint8_t>(x * y), 5, 255};
      });
  const char* names[] = {"a", "b-broken", "c", "c-cube", "c-cut", "d-broken",
                         "e", "f",        "g", "h-broken", "i"};
  for (const char* folder : {"", "sub/"}) {
    for (const std::string name : names) {
      const std::string path = in + folder + name + ".dds";
      const bool broken = name.find("broken") != std::string::npos;
      const std::string data = name == "c-cube" ? cube
                               : name == "c-cut" ? cube.substr(0, cube.size() - 1)
                               : broken          ? "DDS not really"
                                                 : picture;
      ASSERT_TRUE(writeBinaryFile(path, data)) << path;
    }
  }
  const std::string out = base.path() + "out/";
  auto runWith = [&](const std::string& threads) {
    ProgramResult result = runProgramWith(
        {"-d", "-i", in, "-o", out, "-c", "png", "--threads=" + threads, "--faces=all",
         "--filename-mask=%filename%-%n%.%ext%", "--wm-text=No. %n%", "--wm-font-size=9",
         "--file-timestamp=custom", "--file-timestamp-custom=1000000000"});
    EXPECT_EQ(result.exitCode, 0) << threads;
    EXPECT_EQ(result.err, "") << threads;
    std::map<std::string, std::string> tree = readTree(out, true);
    std::filesystem::remove_all(out);
    createFolder(out);
    return std::make_pair(result.out, tree);
  };
  const auto one = runWith("1");
  ASSERT_NE(one.first.find("Files converted: 14 of 22"), std::string::npos) << one.first;
  ASSERT_EQ(one.second.count("sub/i-00016.png"), 1u);
  ASSERT_EQ(one.second.count("sub/c-cut-00011_negy.png"), 1u);
  ASSERT_EQ(one.second.count("sub/c-cut-00011_negz.png"), 0u);
  for (const char* threads : {"2", "4"}) {
    const auto many = runWith(threads);
    EXPECT_EQ(many.first, one.first) << threads << " workers: same report";
    EXPECT_EQ(many.second, one.second) << threads << " workers: same files";
  }
}
