// Every output format and option variant, through the built program: the same
// inputs give the same bytes run after run and for any number of workers.
// The second and third runs fill every heap block with other bytes as it is
// handed out (MALLOC_PERTURB_, with the per-thread cache that bypasses it
// turned off), so a writer that lets unset memory into a file shows.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <map>
#include <sstream>

#include "formats/format_tables.h"
#include "platform/files.h"
#include "support/dds_builder.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

// Every depth of every format, and the options that change what a writer
// does beyond the depth.
std::vector<std::string> variants() {
  std::vector<std::string> list;
  for (const std::string& extension : formatTables().outputExtensions) {
    for (int32_t depth : allowedDepths(extension)) {
      if (extension == "ico" && depth == 16) continue;  // refused: no reader opens them
      list.push_back(extension + " --" + extension + "-bpp=" + std::to_string(depth));
    }
  }
  for (const char* more : {
           "bmp --bmp-bpp=4 --bmp-compression=rle", "bmp --bmp-bpp=8 --bmp-compression=rle",
           "bmp --bmp-bpp=8 --bmp-color-table=exact",
           "bmp --bmp-bpp=8 --bmp-compression=rle --bmp-color-table=exact",
           "exr --exr-compression=zip", "exr --exr-compression=piz", "exr --exr-compression=pxr24",
           "exr --exr-compression=b44 --exr-bpp=128", "jpg --jpg-quality=10 --jpg-chroma=none",
           "jpg --jpg-chroma=low --jpg-save-as=simple", "jpg --jpg-chroma=medium --jpg-save-as=optimized",
           "jpg --jpg-chroma=high --jpg-save-as=progressive", "png --png-bpp=4 --png-interlaced",
           "png --png-compression=zlib1", "png --png-compression=zlib6 --png-interlaced",
           "png --png-compression=zlib9", "tga --tga-bpp=8 --tga-compression=rle",
           "tga --tga-bpp=16 --tga-compression=rle", "tga --tga-bpp=24 --tga-compression=rle",
           "tga --tga-bpp=32 --tga-compression=rle", "tiff --tiff-bpp=1 --tiff-compression=ccittfax3",
           "tiff --tiff-bpp=1 --tiff-compression=ccittfax4", "tiff --tiff-bpp=4 --tiff-compression=packbits",
           "tiff --tiff-bpp=8 --tiff-compression=deflate", "tiff --tiff-compression=adobedeflate",
           "tiff --tiff-bpp=24 --tiff-compression=jpeg", "tiff --tiff-bpp=32 --tiff-compression=lzw",
           "tiff --tiff-bpp=32 --tiff-color-mode=cmyk", "tiff --tiff-bpp=96 --tiff-compression=logluv",
           "webp --webp-bpp=24 --webp-quality=1", "webp --webp-quality=100"}) {
    list.push_back(more);
  }
  return list;
}

// Every file of a folder: name -> bytes.
std::map<std::string, std::string> filesIn(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& item : std::filesystem::directory_iterator(folder)) {
    EXPECT_TRUE(readWholeFile(item.path().string(), &files[item.path().filename().string()]));
  }
  return files;
}

// A many-colour texture with varying alpha, an opaque one and an odd-sized
// one (rows that need padding in most formats). All are square and at least
// 32 pixels wide, so icons and JPEG-2000 take them too.
void writeInputs(const std::string& folder) {
  ASSERT_TRUE(writeBinaryFile(folder + "many.dds", buildUncompressedDds(64, 64, 32, kMasksA8R8G8B8, [](int x, int y) {
    const int i = y * 64 + x;
    return Rgba{static_cast<uint8_t>(i * 7), static_cast<uint8_t>(i * 13 >> 2),
                static_cast<uint8_t>(x * 4 + y), static_cast<uint8_t>(y % 3 ? 255 - x * 3 : 255)};
  })));
  ASSERT_TRUE(writeBinaryFile(folder + "opaque.dds", buildUncompressedDds(40, 40, 24, kMasksR8G8B8, [](int x, int y) {
    return Rgba{static_cast<uint8_t>(x * 5), static_cast<uint8_t>(y * 7), static_cast<uint8_t>(x * y), 255};
  })));
  ASSERT_TRUE(writeBinaryFile(folder + "odd.dds", buildUncompressedDds(35, 35, 32, kMasksA8R8G8B8, [](int x, int y) {
    return Rgba{static_cast<uint8_t>(x * 19), static_cast<uint8_t>(y * 37),
                static_cast<uint8_t>(200 - x * 5), static_cast<uint8_t>(40 + x * 15)};
  })));
}

}  // namespace

TEST(DeterministicWriters, EveryFormatAndOptionGivesTheSameBytesEveryRunAndForAnyWorkers) {
  TempDir dir;
  const std::string in = dir.path() + "in/";
  ASSERT_TRUE(createFolder(in));
  writeInputs(in);
  int serial = 0;
  for (const std::string& variant : variants()) {
    std::istringstream words(variant);
    std::vector<std::string> options{std::istream_iterator<std::string>(words), {}};
    std::map<std::string, std::string> first;
    for (const char* run : {"1", "1 165", "2 77"}) {  // workers, heap fill byte
      const std::string out = dir.path() + std::to_string(serial++) + "/";
      ASSERT_TRUE(createFolder(out));
      std::vector<std::string> arguments = {"-i", in, "-o", out, "-c", options[0],
                                            std::string("--threads=") + run[0]};
      arguments.insert(arguments.end(), options.begin() + 1, options.end());
      if (run[1]) {
        setenv("MALLOC_PERTURB_", run + 2, 1);
        setenv("GLIBC_TUNABLES", "glibc.malloc.tcache_count=0", 1);
      }
      const ProgramResult result = runProgramWith(arguments);
      unsetenv("MALLOC_PERTURB_");
      unsetenv("GLIBC_TUNABLES");
      ASSERT_EQ(result.exitCode, 0) << variant;
      const std::map<std::string, std::string> files = filesIn(out);
      EXPECT_EQ(files.size(), 3u) << variant << "\n" << result.out;
      if (first.empty()) {
        first = files;
      } else {
        EXPECT_TRUE(files == first) << variant << ", run " << run;
      }
    }
  }
}
