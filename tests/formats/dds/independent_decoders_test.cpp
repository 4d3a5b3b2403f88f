// The reader against the independent DDS decoders installed by the set-up
// script, on the same random-block and random-pixel files. The decoders
// differ among themselves by up to two steps on interpolated BC1-BC3
// colours (truncating or rounding the thirds, widening 5- and 6-bit
// endpoints by shifting), so that is the agreement asked of them here; the
// exact values are checked against the format description in
// bc1_bc5_test.cpp and bptc_differential_test.cpp. Known faults are left out:
// nvdecompress reads BC2/BC3 colour in three-colour mode, ImageMagick swaps
// red and blue in A8B8G8R8, Pillow makes reserved BC7 blocks opaque black
// and reads X8R8G8B8 colour wrongly (ImageMagick and OpenImageIO agree with
// the layout). Pillow 9.4 reads no 16-bit layouts, and neither it nor OpenImageIO reads
// the uncompressed DX10 layouts (checked against their definitions in
// dds_reader_test.cpp).
//
// Each comparison prints one line of the agreement table.

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <random>
#include <string>

#include "formats/dds/dds_reader.h"
#include "formats/dds/raw_dds.h"
#include "support/temp_dir.h"

namespace {

constexpr uint32_t kSide = 64;

enum class Tool { ImageMagick, Pillow, OpenImageIo, NvDecompress };

const char* toolName(Tool tool) {
  switch (tool) {
    case Tool::ImageMagick: return "ImageMagick";
    case Tool::Pillow: return "Pillow";
    case Tool::OpenImageIo: return "OpenImageIO";
    case Tool::NvDecompress: return "nvdecompress";
  }
  return "?";
}

// Decodes in.dds in dir with the tool; returns the result as a 32-bit bitmap
// or nullptr when the tool is missing or failed.
FIBITMAP* decodeWith(Tool tool, const TempDir& dir, bool twoChannels) {
  const std::string in = dir.path() + "in.dds";
  std::string out, command;
  FREE_IMAGE_FORMAT format = FIF_PNG;
  switch (tool) {
    case Tool::ImageMagick:
      out = dir.path() + "im.png";
      command = "/usr/bin/convert '" + in + "' 'PNG32:" + out + "'";
      break;
    case Tool::Pillow:
      out = dir.path() + "pil.png";
      command = "/usr/bin/python3 -c 'import sys; from PIL import Image; "
                "Image.open(sys.argv[1]).save(sys.argv[2])' '" + in + "' '" + out + "'";
      break;
    case Tool::OpenImageIo:
      // TIFF keeps the decoded values as they are (PNG output would divide
      // colour by alpha).
      out = dir.path() + "oiio.tif";
      format = FIF_TIFF;
      command = "oiiotool '" + in + "' " + (twoChannels ? "--ch R,G,B=0 " : "") + "-d uint8 -o '" + out + "'";
      break;
    case Tool::NvDecompress:
      out = dir.path() + "in.tga";
      format = FIF_TARGA;
      command = "nvdecompress '" + in + "'";
      break;
  }
  if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) return nullptr;
  FIBITMAP* loaded = FreeImage_Load(format, out.c_str(), 0);
  if (!loaded) return nullptr;
  FIBITMAP* wide = FreeImage_ConvertTo32Bits(loaded);
  FreeImage_Unload(loaded);
  return wide;
}

struct Agreement {
  int maxDifference = 0;
  double identicalShare = 0;
};

Agreement compare(FIBITMAP* ours, FIBITMAP* theirs, bool withAlpha) {
  Agreement result;
  long identical = 0, total = 0;
  const int channels[] = {FI_RGBA_RED, FI_RGBA_GREEN, FI_RGBA_BLUE, FI_RGBA_ALPHA};
  for (unsigned y = 0; y < kSide; ++y) {
    const BYTE* a = FreeImage_GetScanLine(ours, static_cast<int>(y));
    const BYTE* b = FreeImage_GetScanLine(theirs, static_cast<int>(y));
    for (unsigned x = 0; x < kSide; ++x) {
      for (int c = 0; c < (withAlpha ? 4 : 3); ++c) {
        const int d = std::abs(a[4 * x + channels[c]] - b[4 * x + channels[c]]);
        result.maxDifference = std::max(result.maxDifference, d);
        identical += d == 0;
        ++total;
      }
    }
  }
  result.identicalShare = 100.0 * static_cast<double>(identical) / static_cast<double>(total);
  return result;
}

std::string randomBytes(size_t count, uint32_t seed) {
  std::mt19937 random(seed);
  std::string out(count, '\0');
  for (char& c : out) c = static_cast<char>(random());
  return out;
}

struct Variant {
  const char* name;
  RawDdsHeader header;
  size_t payloadBytes;
  bool withAlpha;
  bool twoChannels;
  std::vector<Tool> tools;
};

constexpr uint32_t kRgb = 0x40, kAlphaPixels = 0x1, kLuminance = 0x20000;

}  // namespace

TEST(IndependentDecoders, AgreeWithinTwoStepsOnTheSameFiles) {
  using T = Tool;
  const size_t blocks = (kSide / 4) * (kSide / 4);
  const size_t pixels = kSide * kSide;
  const Variant variants[] = {
      {"DXT1", fourCcHeader(kSide, kSide, rawFourCc("DXT1")), blocks * 8, true, false,
       {T::ImageMagick, T::Pillow, T::OpenImageIo, T::NvDecompress}},
      {"DXT3", fourCcHeader(kSide, kSide, rawFourCc("DXT3")), blocks * 16, true, false,
       {T::ImageMagick, T::Pillow, T::OpenImageIo}},
      {"DXT5", fourCcHeader(kSide, kSide, rawFourCc("DXT5")), blocks * 16, true, false,
       {T::ImageMagick, T::Pillow, T::OpenImageIo}},
      {"ATI1 (BC4)", fourCcHeader(kSide, kSide, rawFourCc("ATI1")), blocks * 8, false, false,
       {T::Pillow, T::OpenImageIo, T::NvDecompress}},
      {"ATI2 (BC5)", fourCcHeader(kSide, kSide, rawFourCc("ATI2")), blocks * 16, false, true,
       {T::Pillow, T::OpenImageIo, T::NvDecompress}},
      {"BC7 without reserved blocks", dxgiHeader(kSide, kSide, 98), blocks * 16, true, false,
       {T::Pillow, T::OpenImageIo}},
      {"A8R8G8B8", maskHeader(kSide, kSide, kRgb | kAlphaPixels, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000),
       pixels * 4, true, false, {T::ImageMagick, T::Pillow, T::OpenImageIo}},
      {"X8R8G8B8", maskHeader(kSide, kSide, kRgb, 32, 0xFF0000, 0xFF00, 0xFF, 0), pixels * 4, false,
       false, {T::ImageMagick, T::OpenImageIo}},
      {"A8B8G8R8", maskHeader(kSide, kSide, kRgb | kAlphaPixels, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000),
       pixels * 4, true, false, {T::Pillow, T::OpenImageIo}},
      {"R8G8B8", maskHeader(kSide, kSide, kRgb, 24, 0xFF0000, 0xFF00, 0xFF, 0), pixels * 3, false,
       false, {T::ImageMagick, T::Pillow, T::OpenImageIo}},
      {"R5G6B5", maskHeader(kSide, kSide, kRgb, 16, 0xF800, 0x7E0, 0x1F, 0), pixels * 2, false,
       false, {T::ImageMagick, T::OpenImageIo}},
      {"A1R5G5B5", maskHeader(kSide, kSide, kRgb | kAlphaPixels, 16, 0x7C00, 0x3E0, 0x1F, 0x8000),
       pixels * 2, true, false, {T::ImageMagick, T::OpenImageIo}},
      {"A4R4G4B4", maskHeader(kSide, kSide, kRgb | kAlphaPixels, 16, 0xF00, 0xF0, 0xF, 0xF000),
       pixels * 2, true, false, {T::ImageMagick, T::OpenImageIo}},
      {"L8", maskHeader(kSide, kSide, kLuminance, 8, 0xFF, 0, 0, 0), pixels, false, false,
       {T::ImageMagick, T::Pillow, T::OpenImageIo}},
  };
  uint32_t seed = 100;
  for (const Variant& v : variants) {
    std::string payload = randomBytes(v.payloadBytes, ++seed);
    if (v.header.dxgiFormat == 98) {
      for (size_t b = 0; b < payload.size(); b += 16) payload[b] = static_cast<char>(payload[b] | 0x80);
    }
    TempDir dir;
    const std::string file = buildRawDds(v.header, payload);
    ASSERT_TRUE(writeTestFile(dir.path() + "in.dds", file));
    Bitmap decoded = readDdsImage(reinterpret_cast<const uint8_t*>(file.data()), file.size());
    ASSERT_TRUE(decoded) << v.name;
    FIBITMAP* ours = FreeImage_ConvertTo32Bits(decoded.get());
    ASSERT_NE(ours, nullptr);
    for (const Tool tool : v.tools) {
      FIBITMAP* theirs = decodeWith(tool, dir, v.twoChannels);
      if (!theirs) {
        ADD_FAILURE() << v.name << ": " << toolName(tool) << " did not decode the file";
        continue;
      }
      const Agreement a = compare(ours, theirs, v.withAlpha);
      std::cout << "agreement | " << v.name << " | " << toolName(tool) << " | max difference "
                << a.maxDifference << " | " << a.identicalShare << " % of channel values identical\n";
      EXPECT_LE(a.maxDifference, 2) << v.name << " against " << toolName(tool);
      FreeImage_Unload(theirs);
    }
    FreeImage_Unload(ours);
  }
}
