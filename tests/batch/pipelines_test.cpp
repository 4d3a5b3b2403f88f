// The options built for scripts, through the built program: --info, --report,
// --skip-unchanged, --dedupe, --dry-run and --sidecar.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>

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
       R"("truncated")"},
  };
  std::string list;
  for (const Case& c : cases) {
    ASSERT_TRUE(writeBinaryFile(dir.path() + c.name, c.bytes));
    list += dir.path() + c.name + "\n";
  }
  ASSERT_TRUE(writeBinaryFile(dir.path() + "inputs.lst", list));
  createFolder(dir.path() + "out");
  const ProgramResult result =
      runProgramWith({"-i", dir.path() + "inputs.lst", "-o", dir.path() + "out", "--info", "-d"});
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
