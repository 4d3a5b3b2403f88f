// --verify through the built program: on good files it changes nothing, not a
// byte of any output and not a line of the report.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "support/dds_builder.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

// One row per reader the check uses and per odd case of what a format holds.
const std::vector<std::vector<std::string>> kVariants = {
    {"-c", "png"},                                  // libpng, alpha
    {"-c", "png", "--png-bpp=8"},                   // palette after quantisation
    {"-c", "jpg"},                                  // libjpeg, lossy
    {"-c", "tiff", "--tiff-bpp=24", "--tiff-color-mode=cmyk", "--tiff-compression=lzw"},  // libtiff
    {"-c", "tiff", "--tiff-bpp=1"},                 // 1 bit
    {"-c", "tiff", "--tiff-bpp=32", "--tiff-color-mode=cmyk"},  // C, M, Y, K bytes
    {"-c", "pbm"},                                  // 1 is black
    {"-c", "pgm"},                                  // grey levels, no palette
    {"-c", "bmp", "--bmp-bpp=16"},                  // 555
    {"-c", "bmp", "--bmp-compression=rle", "--bmp-bpp=8"},
    {"-c", "gif"},
    {"-c", "ico"},
    {"-c", "webp"},                                 // lossless, invisible colour free
    {"-c", "webp", "--webp-quality=60"},
    {"-c", "dds"},                                  // the program's own reader, DXT1
    {"-c", "psd"},                                  // DevIL writes, FreeImage reads
    {"-c", "jxr"},                                  // libjxr's decoder
    {"-c", "jxr", "--jxr-bpp=96"},                  // shortened float mantissa
    {"-c", "exr"},                                  // halves
    {"-c", "hdr"},                                  // RGBE
    {"-c", "pfm"},                                  // our PFM reader
    {"-c", "j2k"},
};

std::string textOf(const std::string& path) {
  std::string data;
  readWholeFile(path, &data);
  return data;
}

}  // namespace

TEST(VerifyRun, SameBytesAndReportWithAndWithoutVerify) {
  TempDir dir;
  const std::string in = dir.path() + "in/";
  createFolder(in);
  // Partial alpha and some fully transparent pixels; square for the icon.
  ASSERT_TRUE(writeBinaryFile(in + "tex.dds", buildUncompressedDds(48, 48, 32, kMasksA8R8G8B8, [](int x, int y) {
    return Rgba{static_cast<uint8_t>(x * 5), static_cast<uint8_t>(y * 5),
                static_cast<uint8_t>((x * y) & 0xFF), static_cast<uint8_t>(x < 4 ? 0 : x * 5)};
  })));
  for (const std::vector<std::string>& variant : kVariants) {
    std::string label;
    for (const std::string& part : variant) label += part + " ";
    std::string outputs[2];
    std::string reports[2];
    for (int verify = 0; verify < 2; ++verify) {
      const std::string out = dir.path() + "out" + std::to_string(verify) + "/";
      createFolder(out);
      std::vector<std::string> arguments = {"-i", in, "-o", out};
      arguments.insert(arguments.end(), variant.begin(), variant.end());
      if (verify) arguments.push_back("--verify");
      const ProgramResult result = runProgramWith(arguments);
      EXPECT_EQ(result.exitCode, 0) << label;
      reports[verify] = result.out;
      outputs[verify] = textOf(out + "tex." + variant[1]);
      removeFile(out + "tex." + variant[1]);
    }
    EXPECT_FALSE(outputs[0].empty()) << label;
    EXPECT_TRUE(outputs[0] == outputs[1]) << label;
    EXPECT_EQ(reports[0], reports[1]) << label;
    EXPECT_NE(reports[1].find("Files converted: 1 of 1"), std::string::npos) << label << reports[1];
  }
}
