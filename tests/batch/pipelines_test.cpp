// The options built for scripts, through the built program: --info, --report,
// --skip-unchanged, --dedupe, --dry-run and --sidecar.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <map>

#include "platform/file_stamp.h"
#include "platform/files.h"
#include "support/dds_builder.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

Rgba plainPixel(int, int, int, int x, int y) {
  return Rgba{static_cast<uint8_t>(40 * x), static_cast<uint8_t>(40 * y), 90, 200};
}

// SHA-256 as the system's own tool computes it.
std::string systemSha256(const std::string& path) {
  std::string command = "sha256sum '" + path + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return {};
  char digest[65] = {};
  const size_t got = fread(digest, 1, 64, pipe);
  pclose(pipe);
  return std::string(digest, got);
}

// A 4x4 texture with the DX10 header whose format number and alpha mode
// (DXGI_FORMAT at byte 128, the alpha mode at byte 144) are set afterwards.
std::string dx10Texture(uint32_t dxgiFormat, uint32_t alphaMode) {
  std::string bytes = buildSurfaceDds(SurfaceTexture{.dx10 = true}, plainPixel);
  std::memcpy(&bytes[128], &dxgiFormat, 4);
  std::memcpy(&bytes[144], &alphaMode, 4);
  return bytes;
}

}  // namespace

TEST(Pipelines, InfoDescribesEachInputWithoutConverting) {
  TempDir dir;
  struct Case {
    const char* name;
    std::string bytes;
    std::string facts;  // the keys between "bytes" and "sha256"
    std::string error;  // JSON value of "error"
  } cases[] = {
      {"cube.dds", buildSurfaceDds({.mips = 3, .cubeFaces = 0x3F}, plainPixel),
       R"("format":"A8R8G8B8","dx10":false,"width":4,"height":4,"depth":1,"mips":3,"faces":6,"layers":1,"srgb":false,"alpha":"straight","normal_map":false)",
       "null"},
      {"array.dds", buildSurfaceDds({.arraySize = 3, .dx10 = true}, plainPixel),
       R"("format":"R8G8B8A8_UNORM","dx10":true,"width":4,"height":4,"depth":1,"mips":1,"faces":0,"layers":3,"srgb":false,"alpha":"straight","normal_map":false)",
       "null"},
      {"volume.dds", buildSurfaceDds({.width = 8, .height = 4, .mips = 2, .depth = 4}, plainPixel),
       R"("format":"A8R8G8B8","dx10":false,"width":8,"height":4,"depth":4,"mips":2,"faces":0,"layers":1,"srgb":false,"alpha":"straight","normal_map":false)",
       "null"},
      {"srgb.dds", dx10Texture(29, 0),
       R"("format":"R8G8B8A8_UNORM_SRGB","dx10":true,"width":4,"height":4,"depth":1,"mips":1,"faces":0,"layers":1,"srgb":true,"alpha":"straight","normal_map":false)",
       "null"},
      {"premultiplied.dds", dx10Texture(28, 2),
       R"("format":"R8G8B8A8_UNORM","dx10":true,"width":4,"height":4,"depth":1,"mips":1,"faces":0,"layers":1,"srgb":false,"alpha":"premultiplied","normal_map":false)",
       "null"},
      {"dxt1 \"q\".dds", buildBlockDds(BlockFormat::Dxt1, 8, 8, [](int, int) { return Rgba{}; }),
       R"("format":"DXT1","dx10":false,"width":8,"height":8,"depth":1,"mips":1,"faces":0,"layers":1,"srgb":false,"alpha":"straight","normal_map":false)",
       "null"},
      {"broken.dds", buildSurfaceDds({}, plainPixel).substr(0, 150),
       R"("format":"A8R8G8B8","dx10":false,"width":4,"height":4,"depth":1,"mips":1,"faces":0,"layers":1,"srgb":false,"alpha":"straight","normal_map":false)",
       R"("file too short: 150 of 192 bytes")"},
  };
  std::string list;
  for (const Case& c : cases) {
    ASSERT_TRUE(writeBinaryFile(dir.path() + c.name, c.bytes));
    list += dir.path() + c.name + "\n";
  }
  ASSERT_TRUE(writeBinaryFile(dir.path() + "inputs.lst", list));
  createFolder(dir.path() + "out");
  const ProgramResult result =
      runProgramWith({"-i", dir.path() + "inputs.lst", "-o", dir.path() + "out", "--info", "-d",
                      "--threads=3"});  // inspected side by side, printed in input order
  const std::vector<std::string> lines = outputLines(result.out);
  ASSERT_EQ(lines.size(), std::size(cases)) << result.out;
  for (size_t i = 0; i < lines.size(); ++i) {
    const Case& c = cases[i];
    std::string shownName = c.name;
    if (shownName.find('"') != std::string::npos) shownName = "dxt1 \\\"q\\\".dds";
    const std::string expected = "{\"path\":\"" + dir.path() + shownName + "\",\"bytes\":" +
                                 std::to_string(c.bytes.size()) + "," + c.facts + ",\"sha256\":\"" +
                                 systemSha256(dir.path() + c.name) + "\",\"error\":" + c.error + "}";
    EXPECT_EQ(lines[i], expected) << c.name;
  }
  std::vector<FolderEntry> written;
  listFolder(dir.path() + "out", &written);
  EXPECT_TRUE(written.empty()) << "--info writes nothing";
}

namespace {

// A tree of distinct 8x8 textures in:  in/t0.dds .. in/t<count-1>.dds.
struct Tree {
  TempDir dir;
  std::string in = dir.path() + "in/";
  std::string out = dir.path() + "out/";
  explicit Tree(int count) {
    createFolder(in);
    createFolder(out);
    for (int i = 0; i < count; ++i) write(i, i);
  }
  void write(int index, int colour) {
    ASSERT_TRUE(writeBinaryFile(in + "t" + std::to_string(index) + ".dds",
                                buildSurfaceDds({.width = 8, .height = 8}, [colour](int, int, int, int x, int y) {
                                  return Rgba{static_cast<uint8_t>(colour), static_cast<uint8_t>(x),
                                              static_cast<uint8_t>(y), 255};
                                })));
  }
  std::string output(int index) const { return out + "t" + std::to_string(index) + ".png"; }
  ProgramResult run(std::vector<std::string> options) const {
    std::vector<std::string> arguments = {"-i", in, "-o", out, "-c", "png"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    return runProgramWith(arguments);
  }
};

bool hasLine(const ProgramResult& result, const std::string& line) {
  for (const std::string& each : outputLines(result.out)) {
    if (each == line) return true;
  }
  return false;
}

std::vector<std::string> fileLines(const std::string& path) {
  std::string text;
  readWholeFile(path, &text);
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << "a report line is cut short";
  return lines;
}

std::string outputJson(const std::string& path) {
  return "{\"path\":\"" + path + "\",\"bytes\":" + std::to_string(fileSize(path)) +
         ",\"sha256\":\"" + systemSha256(path) + "\"}";
}

}  // namespace

TEST(Pipelines, ReportHasALinePerInputAndTheFailure) {
  // in/sub/t0.dds maps to the output in/t0.dds has written: it fails with
  // an Error line naming both.
  Tree tree(1);
  createFolder(tree.in + "sub");
  tree.write(0, 7);
  ASSERT_TRUE(renameFile(tree.in + "t0.dds", tree.in + "sub/t0.dds"));
  tree.write(0, 0);
  // A file the reader refuses prints no Error line; its record still says why.
  ASSERT_TRUE(writeBinaryFile(tree.in + "x.dds",
                              buildSurfaceDds({.width = 8, .height = 8}, plainPixel).substr(0, 150)));
  const std::string report = tree.dir.path() + "run.jsonl";
  const ProgramResult result = tree.run({"--report=" + report, "--no-subfolders"});
  std::string errorText;
  for (const std::string& line : outputLines(result.out)) {
    if (line.rfind("Error: ", 0) == 0 && errorText.empty()) errorText = line.substr(7);
  }
  ASSERT_FALSE(errorText.empty()) << result.out;
  const std::vector<std::string> lines = fileLines(report);
  ASSERT_EQ(lines.size(), 3u);
  // A folder's subfolders come before its own files.
  EXPECT_EQ(lines[0], "{\"input\":\"" + tree.in + "sub/t0.dds\",\"status\":\"converted\",\"outputs\":[" +
                          outputJson(tree.output(0)) + "],\"error\":null,\"of\":null}");
  EXPECT_EQ(lines[1], "{\"input\":\"" + tree.in + "t0.dds\",\"status\":\"failed\",\"outputs\":[],\"error\":\"" +
                          errorText + "\",\"of\":null}");
  EXPECT_EQ(lines[2], "{\"input\":\"" + tree.in +
                          "x.dds\",\"status\":\"failed\",\"outputs\":[],\"error\":\"file too short: 150 "
                          "of 384 bytes\",\"of\":null}");

  Tree other(1);
  const ProgramResult refused = other.run({"--report=" + other.dir.path() + "none/r.jsonl"});
  EXPECT_TRUE(hasLine(refused, "Error: Unable to write report " + other.dir.path() +
                                   "none/r.jsonl: No such file or directory"))
      << refused.out;
  EXPECT_FALSE(pathExists(other.output(0))) << "a run without its report converts nothing";

  // Files written straight from the image's rows (an uncompressed BMP and
  // its alpha image) are measured as written.
  TempDir alphaDir;
  ASSERT_TRUE(writeBinaryFile(alphaDir.path() + "a.dds",
                              buildSurfaceDds({.width = 8, .height = 8}, plainPixel)));
  const std::string alphaReport = alphaDir.path() + "a.jsonl";
  const ProgramResult alphaRun =
      runProgramWith({"-i", alphaDir.path() + "a.dds", "-o", alphaDir.path(), "-c", "bmp",
                      "--alpha=separate", "--report=" + alphaReport});
  // A run that took digests ends cleanly (nothing of the hash library is left
  // behind, which a leak check would count against the exit status).
  EXPECT_EQ(alphaRun.exitCode, 0) << alphaRun.err;
  EXPECT_EQ(fileLines(alphaReport),
            std::vector<std::string>{"{\"input\":\"" + alphaDir.path() +
                                     "a.dds\",\"status\":\"converted\",\"outputs\":[" +
                                     outputJson(alphaDir.path() + "a.bmp") + "," +
                                     outputJson(alphaDir.path() + "a_alpha.bmp") +
                                     "],\"error\":null,\"of\":null}"});
}

TEST(Pipelines, SkipUnchangedConvertsOnlyWhatChanged) {
  Tree tree(4);
  EXPECT_TRUE(hasLine(tree.run({"--skip-unchanged"}), "Files unchanged: 0"));
  int64_t before = 0;
  fileModifiedTime(tree.output(3), &before);
  const ProgramResult again = tree.run({"--skip-unchanged", "--threads=2", "-d"});
  EXPECT_TRUE(hasLine(again, "Files converted: 4 of 4")) << again.out;
  EXPECT_TRUE(hasLine(again, "Files unchanged: 4")) << again.out;
  EXPECT_FALSE(hasLine(tree.run({"--skip-unchanged", "-q"}), "Files unchanged: 4"));
  // The records of runs without a report hold no hashes: a report run takes
  // them from the outputs.
  const std::string report = tree.dir.path() + "unchanged.jsonl";
  tree.run({"--skip-unchanged", "--report=" + report});
  const std::vector<std::string> reported = fileLines(report);
  ASSERT_EQ(reported.size(), 4u);
  EXPECT_EQ(reported[3], "{\"input\":\"" + tree.in + "t3.dds\",\"status\":\"unchanged\",\"outputs\":[" +
                             outputJson(tree.output(3)) + "],\"error\":null,\"of\":null}");

  // A re-run of the same command reads the records from the pack it left:
  // with every record of its own gone, the inputs are still found
  // unchanged, unless their input or output changed since.
  std::vector<FolderEntry> records;
  listFolder(tree.out + ".pellucid", &records);
  for (const FolderEntry& record : records) {
    if (record.name.ends_with(".rec")) {
      ASSERT_TRUE(removeFile(tree.out + ".pellucid/" + record.name));
    }
  }
  tree.write(0, 99);                                              // input changed
  ASSERT_TRUE(removeFile(tree.output(1)));                        // output deleted
  const ProgramResult changed = tree.run({"--skip-unchanged"});
  EXPECT_TRUE(hasLine(changed, "Files unchanged: 2")) << changed.out;
  EXPECT_TRUE(pathExists(tree.output(1)));
  int64_t after = 0;
  fileModifiedTime(tree.output(3), &after);
  EXPECT_EQ(after, before) << "an unchanged input's output is left alone";

  const ProgramResult flipped = tree.run({"--skip-unchanged", "--flip-horizontal"});
  EXPECT_TRUE(hasLine(flipped, "Files unchanged: 0")) << "an option that shapes outputs";
}

TEST(Pipelines, KilledAndShardedRunsResumeWithSkipUnchanged) {
  Tree tree(40);
  {
    TempDir lock;
    BackgroundProgram killed({"-i", tree.in, "-o", tree.out, "-c", "png", "-d", "--skip-unchanged"},
                             lock.path());
    ASSERT_TRUE(killed.waitForOutput("t5.png", 60));
    killed.sendSignal(SIGKILL);
    killed.finish("", 30);
  }
  const ProgramResult resumed = tree.run({"--skip-unchanged"});
  EXPECT_TRUE(hasLine(resumed, "Files converted: 40 of 40")) << resumed.out;
  EXPECT_FALSE(hasLine(resumed, "Files unchanged: 0")) << "the killed run's records stay";
  EXPECT_TRUE(hasLine(tree.run({"--skip-unchanged"}), "Files unchanged: 40"));

  Tree shards(30);
  TempDir lockOne, lockTwo;
  BackgroundProgram one({"-i", shards.in, "-o", shards.out, "-c", "png", "--skip-unchanged", "--shard=1/2"},
                        lockOne.path());
  BackgroundProgram two({"-i", shards.in, "-o", shards.out, "-c", "png", "--skip-unchanged", "--shard=2/2"},
                        lockTwo.path());
  one.finish("", 120);
  two.finish("", 120);
  const ProgramResult after = shards.run({"--skip-unchanged"});
  EXPECT_TRUE(hasLine(after, "Files unchanged: 30")) << after.out;
}

TEST(Pipelines, DedupeLinksTheOutputsOfEqualInputs) {
  Tree tree(3);
  tree.write(2, 0);  // t2 repeats t0
  // Larger files of one size: u2 repeats u0, u1 differs from it in one pixel.
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(writeBinaryFile(tree.in + "u" + std::to_string(i) + ".dds",
                                buildSurfaceDds({.width = 128, .height = 128}, [i](int, int, int, int x, int y) {
                                  const bool odd = i == 1 && x == 0 && y == 50;
                                  return Rgba{static_cast<uint8_t>(x), static_cast<uint8_t>(y), 9,
                                              static_cast<uint8_t>(odd ? 0 : 255)};
                                })));
  }
  const ProgramResult plain = tree.run({});
  std::string expected, expectedOdd;
  ASSERT_TRUE(readWholeFile(tree.output(2), &expected));
  ASSERT_TRUE(readWholeFile(tree.out + "u1.png", &expectedOdd));
  ASSERT_TRUE(removeFile(tree.out + "u1.png"));
  for (int i = 0; i < 3; ++i) removeFile(tree.output(i));
  const std::string report = tree.dir.path() + "r.jsonl";
  const ProgramResult deduped = tree.run({"--dedupe", "--report=" + report, "--threads=3"});
  EXPECT_TRUE(hasLine(deduped, "Files converted: 6 of 6")) << deduped.out;
  FileStamp first, repeat;
  ASSERT_TRUE(fileStamp(tree.output(0), &first));
  ASSERT_TRUE(fileStamp(tree.output(2), &repeat));
  EXPECT_EQ(first.inode, repeat.inode) << "a hard link";
  std::string bytes;
  ASSERT_TRUE(readWholeFile(tree.output(2), &bytes));
  EXPECT_EQ(bytes, expected);
  ASSERT_TRUE(readWholeFile(tree.out + "u1.png", &bytes));
  EXPECT_EQ(bytes, expectedOdd) << "equal size is not equal bytes";
  const std::vector<std::string> lines = fileLines(report);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[2], "{\"input\":\"" + tree.in + "t2.dds\",\"status\":\"duplicate\",\"outputs\":[" +
                          outputJson(tree.output(2)) + "],\"error\":null,\"of\":\"" + tree.in +
                          "t0.dds\"}");
  EXPECT_NE(lines[4].find("\"status\":\"converted\""), std::string::npos) << lines[4];
  EXPECT_NE(lines[5].find("\"status\":\"duplicate\""), std::string::npos) << lines[5];
  EXPECT_NE(lines[5].find("\"of\":\"" + tree.in + "u0.dds\""), std::string::npos) << lines[5];
}

TEST(Pipelines, DryRunWritesNothing) {
  Tree tree(1);
  createFolder(tree.in + "sub");
  ASSERT_TRUE(writeBinaryFile(tree.in + "sub/s.dds", buildSurfaceDds({.mips = 2}, plainPixel)));
  const ProgramResult result = tree.run({"--dry-run", "--mipmaps=all", "--sidecar"});
  EXPECT_TRUE(hasLine(result, "Would write: " + tree.out + "sub/s_mip1.png")) << result.out;
  EXPECT_TRUE(hasLine(result, "Would write: " + tree.out + "sub/s_mip1.png.json")) << result.out;
  EXPECT_TRUE(hasLine(result, "Would write: " + tree.out + "t0.png")) << result.out;
  EXPECT_TRUE(hasLine(result, "Files converted: 2 of 2")) << result.out;
  std::vector<FolderEntry> entries;
  listFolder(tree.out, &entries);
  EXPECT_TRUE(entries.empty());
}

TEST(Pipelines, SidecarBesideEachCubeFace) {
  Tree tree(0);
  const std::string cube = buildSurfaceDds({.cubeFaces = 0x3F}, plainPixel);
  ASSERT_TRUE(writeBinaryFile(tree.in + "c.dds", cube));
  const ProgramResult result = tree.run({"--faces=all", "--sidecar", "--flip-vertical"});
  const char* faces[] = {"posx", "negx", "posy", "negy", "posz", "negz"};
  for (const char* face : faces) {
    const std::string output = tree.out + "c_" + face + ".png";
    ASSERT_TRUE(pathExists(output)) << face << result.out;
    const std::vector<std::string> lines = fileLines(output + ".json");
    ASSERT_EQ(lines.size(), 1u) << face;
    EXPECT_EQ(lines[0], "{\"path\":\"" + tree.in + "c.dds\",\"bytes\":" + std::to_string(cube.size()) +
                            R"(,"format":"A8R8G8B8","dx10":false,"width":4,"height":4,"depth":1,"mips":1,"faces":6,"layers":1,"srgb":false,"alpha":"straight","normal_map":false,"sha256":")" +
                            systemSha256(tree.in + "c.dds") + R"(","error":null,"mip":0,"face":")" + face +
                            R"(","layer":0,"options":["--conversion=png","--faces=all","--flip-vertical"]})")
        << face;
  }
}
