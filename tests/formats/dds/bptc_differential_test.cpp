// BC6H and BC7 against OpenImageIO, an independent decoder that follows the
// block format description bit for bit. Every 128-bit pattern is a valid
// block, so random blocks (with the mode field spread evenly over all modes,
// reserved ones included) cover the decoders far better than real textures.

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "formats/dds/dds_format.h"
#include "formats/dds/dds_image.h"
#include "formats/dds/raw_dds.h"
#include "support/temp_dir.h"

namespace {

constexpr uint32_t kSide = 256;  // 64 x 64 = 4096 blocks per run

bool haveOiioTool() { return std::system("oiiotool --help >/dev/null 2>&1") == 0; }

// Random blocks whose low bits name mode (blockIndex % modeCount) through
// modeBits(mode, randomByte).
template <typename ModeBits>
std::string randomBlocks(uint32_t seed, int modeCount, ModeBits modeBits) {
  std::mt19937 random(seed);
  std::string blocks((kSide / 4) * (kSide / 4) * 16, '\0');
  for (size_t i = 0; i < blocks.size(); ++i) blocks[i] = static_cast<char>(random() & 0xFF);
  for (size_t b = 0; b * 16 < blocks.size(); ++b) {
    const int mode = static_cast<int>(b % modeCount);
    blocks[b * 16] = static_cast<char>(modeBits(mode, static_cast<uint8_t>(blocks[b * 16])));
  }
  return blocks;
}

// Converts a DDS file with oiiotool; returns the bitmap FreeImage reads back.
FIBITMAP* decodeWithOiio(const TempDir& dir, const std::string& dds, const std::string& outName,
                         const char* dataType, FREE_IMAGE_FORMAT outFormat) {
  const std::string in = dir.path() + "in.dds";
  const std::string out = dir.path() + outName;
  if (!writeTestFile(in, dds)) return nullptr;
  const std::string command =
      "oiiotool '" + in + "' -d " + dataType + " -o '" + out + "' >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) return nullptr;
  return FreeImage_Load(outFormat, out.c_str(), 0);
}

// BC7 modes 0..7 set bit `mode` of the first byte with all lower bits clear;
// mode 8 stands for the reserved first byte 0.
uint8_t bc7ModeBits(int mode, uint8_t randomByte) {
  if (mode == 8) return 0;
  const uint8_t low = static_cast<uint8_t>((1u << (mode + 1)) - 1);
  return static_cast<uint8_t>((randomByte & ~low) | (1u << mode));
}

// The 14 BC6H mode codes and the four reserved ones.
constexpr uint8_t kBc6hModeCodes[] = {0, 1, 2, 6, 10, 14, 18, 22, 26, 30, 3, 7, 11, 15, 19, 23, 27, 31};

uint8_t bc6hModeBits(int mode, uint8_t randomByte) {
  const uint8_t code = kBc6hModeCodes[mode];
  if (code < 2) return static_cast<uint8_t>((randomByte & ~3u) | code);
  return static_cast<uint8_t>((randomByte & ~31u) | code);
}

}  // namespace

TEST(BptcDifferential, Bc7MatchesOpenImageIoBitForBit) {
  if (!haveOiioTool()) GTEST_SKIP() << "oiiotool is not installed";
  for (uint32_t seed : {1u, 2u, 3u}) {
    const std::string blocks = randomBlocks(seed, 9, bc7ModeBits);
    TempDir dir;
    FIBITMAP* reference = decodeWithOiio(dir, buildRawDds(dxgiHeader(kSide, kSide, 98), blocks),
                                         "out.tif", "uint8", FIF_TIFF);
    ASSERT_NE(reference, nullptr) << "seed " << seed;
    ASSERT_EQ(FreeImage_GetBPP(reference), 32u);
    Bitmap ours = decodeDdsImage(identifyDxgiFormat(98), kSide, kSide,
                                 reinterpret_cast<const uint8_t*>(blocks.data()), blocks.size());
    ASSERT_TRUE(ours);
    int mismatches = 0;
    for (uint32_t y = 0; y < kSide && mismatches < 5; ++y) {
      const BYTE* theirs = FreeImage_GetScanLine(reference, static_cast<int>(y));
      const BYTE* mine = FreeImage_GetScanLine(ours.get(), static_cast<int>(y));
      for (uint32_t x = 0; x < kSide && mismatches < 5; ++x) {
        if (std::memcmp(theirs + 4 * x, mine + 4 * x, 4) != 0) {
          const uint32_t row = kSide - 1 - y;
          const size_t block = (row / 4) * (kSide / 4) + x / 4;
          ADD_FAILURE() << "seed " << seed << " pixel (" << x << ", " << row << ") block " << block
                        << " mode byte " << int(static_cast<uint8_t>(blocks[block * 16]))
                        << ": ours " << int(mine[4 * x + 2]) << "," << int(mine[4 * x + 1]) << ","
                        << int(mine[4 * x]) << "," << int(mine[4 * x + 3]) << " theirs "
                        << int(theirs[4 * x + 2]) << "," << int(theirs[4 * x + 1]) << ","
                        << int(theirs[4 * x]) << "," << int(theirs[4 * x + 3]);
          ++mismatches;
        }
      }
    }
    FreeImage_Unload(reference);
  }
}

TEST(BptcDifferential, Bc6hMatchesOpenImageIoBitForBit) {
  if (!haveOiioTool()) GTEST_SKIP() << "oiiotool is not installed";
  for (const uint32_t dxgi : {95u, 96u}) {
    for (uint32_t seed : {11u, 12u}) {
      const std::string blocks = randomBlocks(seed, 18, bc6hModeBits);
      TempDir dir;
      FIBITMAP* reference = decodeWithOiio(dir, buildRawDds(dxgiHeader(kSide, kSide, dxgi), blocks),
                                           "out.exr", "half", FIF_EXR);
      ASSERT_NE(reference, nullptr) << "format " << dxgi << " seed " << seed;
      ASSERT_EQ(FreeImage_GetImageType(reference), FIT_RGBF);
      Bitmap ours = decodeDdsImage(identifyDxgiFormat(dxgi), kSide, kSide,
                                   reinterpret_cast<const uint8_t*>(blocks.data()), blocks.size());
      ASSERT_TRUE(ours);
      int mismatches = 0;
      for (uint32_t y = 0; y < kSide && mismatches < 5; ++y) {
        const FIRGBF* theirs = reinterpret_cast<const FIRGBF*>(FreeImage_GetScanLine(reference, static_cast<int>(y)));
        const FIRGBF* mine = reinterpret_cast<const FIRGBF*>(FreeImage_GetScanLine(ours.get(), static_cast<int>(y)));
        for (uint32_t x = 0; x < kSide && mismatches < 5; ++x) {
          if (std::memcmp(&theirs[x], &mine[x], sizeof(FIRGBF)) != 0) {
            const uint32_t row = kSide - 1 - y;
            const size_t block = (row / 4) * (kSide / 4) + x / 4;
            ADD_FAILURE() << "format " << dxgi << " seed " << seed << " pixel (" << x << ", " << row
                          << ") mode code " << int(kBc6hModeCodes[block % 18]) << ": ours "
                          << mine[x].red << "," << mine[x].green << "," << mine[x].blue << " theirs "
                          << theirs[x].red << "," << theirs[x].green << "," << theirs[x].blue;
            ++mismatches;
          }
        }
      }
      FreeImage_Unload(reference);
    }
  }
}
