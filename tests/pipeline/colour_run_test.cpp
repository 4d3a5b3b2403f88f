// Colour through the built program: sRGB decoding for float outputs, tone
// maps and exposure for float sources, linear-light resizing, alpha modes,
// swizzles and the error lines. Expected values come from the published
// formulas, computed here in double precision; outputs are read back by
// ImageMagick, oiiotool or the few lines of PFM reading below.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sstream>

#include "formats/dds/raw_dds.h"
#include "pipeline/independent_reader.h"
#include "platform/files.h"
#include "support/dds_builder.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

double srgbDecode(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }
double srgbEncode(double v) {
  return v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055;
}
double clamp01(double v) { return std::min(std::max(v, 0.0), 1.0); }
int toByte(double v) { return static_cast<int>(std::lround(clamp01(v) * 255.0)); }

double toneMap(const std::string& map, double c) {
  if (map == "reinhard") return c >= 0 ? c / (1 + c) : 0;
  if (map == "aces") return c < 0 ? 0 : clamp01(c * (2.51 * c + 0.03) / (c * (2.43 * c + 0.59) + 0.14));
  return clamp01(c);
}

// A one-row R32G32B32A32_FLOAT texture; each pixel is {v, v, v, 1}.
std::string floatRow(const std::vector<float>& values) {
  std::string payload;
  for (float v : values) {
    const float pixel[4] = {v, v, v, 1.0f};
    payload.append(reinterpret_cast<const char*>(pixel), sizeof pixel);
  }
  return buildRawDds(dxgiHeader(static_cast<uint32_t>(values.size()), 1, 2), payload);
}

struct ColourRun {
  TempDir dir;
  ProgramResult result;

  // Writes dds as in.dds and converts it to format with the options.
  ColourRun(const std::string& dds, const std::string& format, std::vector<std::string> options) {
    EXPECT_TRUE(writeBinaryFile(dir.path() + "t.dds", dds));
    std::vector<std::string> arguments = {"-i", dir.path() + "t.dds", "-o", dir.path(), "-c", format};
    arguments.insert(arguments.end(), options.begin(), options.end());
    result = runProgramWith(arguments, "", "", 60);
  }
  std::string path(const std::string& name) const { return dir.path() + name; }
  DecodedImage decoded(const std::string& name) const {
    DecodedImage image;
    EXPECT_TRUE(decodeIndependently(path(name), &image)) << name << "\n" << result.out;
    return image;
  }
};

// Red of every pixel of the EXR's top row, as oiiotool prints them.
std::vector<double> exrReds(const std::string& path) {
  std::string text;
  runCommand("oiiotool --dumpdata " + shellQuote(path) + " 2>/dev/null", &text);
  std::vector<double> reds;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    const size_t colon = line.find("):");
    if (line.find("Pixel (") == std::string::npos || colon == std::string::npos) continue;
    reds.push_back(std::stod(line.substr(colon + 2)));
  }
  return reds;
}

Rgba opaque(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) { return Rgba{r, g, b, a}; }

}  // namespace

TEST(Colour, SrgbSourcesReachFloatOutputsDecoded) {
  const std::vector<uint8_t> codes = {0, 10, 11, 128, 200, 255};
  const std::string dds = buildUncompressedDds(
      static_cast<int>(codes.size()), 1, 32, kMasksA8R8G8B8,
      [&](int x, int) { return opaque(codes[x], codes[x], codes[x]); });
  for (const bool automatic : {false, true}) {
    ColourRun run(dds, "exr", automatic ? std::vector<std::string>{"--colorspace=auto"} : std::vector<std::string>{});
    const std::vector<double> reds = exrReds(run.path("t.exr"));
    ASSERT_EQ(reds.size(), codes.size()) << run.result.out;
    for (size_t i = 0; i < codes.size(); ++i) {
      const double stored = codes[i] / 255.0;
      // Half floats keep about three decimal digits.
      EXPECT_NEAR(reds[i], automatic ? srgbDecode(stored) : stored, 1e-3 * std::max(1.0, reds[i]))
          << "code " << int(codes[i]) << (automatic ? " auto" : " stored");
    }
  }
}

TEST(Colour, FloatSourcesToPngUnderEachToneMapAndExposure) {
  const std::vector<float> values = {-0.5f, 0.002f, 0.18f, 0.5f, 1.0f, 3.0f, 40.0f};
  const std::string dds = floatRow(values);
  for (const std::string map : {"clamp", "reinhard", "aces"}) {
    for (const std::string ev : {"0", "-1.5", "2"}) {
      for (const bool automatic : {false, true}) {
        ColourRun run(dds, "png", {"--png-bpp=32", "--tonemap=" + map, "--exposure=" + ev,
                             automatic ? "--colorspace=auto" : "--colorspace=stored"});
        const DecodedImage image = run.decoded("t.png");
        ASSERT_EQ(image.width, static_cast<int>(values.size()));
        for (size_t i = 0; i < values.size(); ++i) {
          const double mapped = toneMap(map, values[i] * std::pow(2.0, std::stod(ev)));
          const int expected = toByte(automatic ? srgbEncode(mapped) : mapped);
          const Rgba got = image.at(static_cast<int>(i), 0);
          EXPECT_EQ(got.r, expected) << map << " EV " << ev << " value " << values[i]
                                     << (automatic ? " auto" : " stored");
          EXPECT_EQ(got.a, 255) << "alpha is never tone-mapped";
        }
      }
    }
  }
}

TEST(Colour, ExrHoldsValuesBeyondTheHalfRangeAsTheLargestHalfOfTheirSign) {
  // EXR channels are half floats: past 65504 a value would become infinite
  // (and a negative one lost its sign).
  const std::vector<float> values = {-1e6f, -70000.0f, -2.0f, 0.5f, 65504.0f, 70000.0f, 1e6f};
  const std::vector<double> expected = {-65504, -65504, -2, 0.5, 65504, 65504, 65504};
  for (const std::string bpp : {"96", "128"}) {
    ColourRun run(floatRow(values), "exr", {"--exr-bpp=" + bpp, "--verify"});
    EXPECT_EQ(exrReds(run.path("t.exr")), expected) << bpp << "\n" << run.result.out;
  }
}

TEST(Colour, TurnedFloatSourcesKeepTheirRange) {
  // A half turn reverses the row; the tone map and the float output must
  // still see 3 and 40, not values clamped to 8 bits before them.
  const std::vector<float> values = {0.25f, 3.0f, 40.0f};
  const std::string dds = floatRow(values);
  const int last = static_cast<int>(values.size()) - 1;
  {
    ColourRun run(dds, "exr", {"--rotation=180", "--colorspace=auto"});
    const std::vector<double> reds = exrReds(run.path("t.exr"));
    ASSERT_EQ(reds.size(), values.size()) << run.result.out;
    for (int i = 0; i <= last; ++i) EXPECT_NEAR(reds[last - i], values[i], 1e-3 * values[i]) << values[i];
  }
  {
    // A free angle: inside, 3 stays 3; the corner takes the background
    // colour decoded to light (0x80 is 0.2159, not 0.502).
    std::string payload;
    for (int i = 0; i < 64; ++i) {
      const float pixel[4] = {3.0f, 3.0f, 3.0f, 1.0f};
      payload.append(reinterpret_cast<const char*>(pixel), sizeof pixel);
    }
    ColourRun run(buildRawDds(dxgiHeader(8, 8, 2), payload), "exr",
                  {"--rotation=30", "--rotation-back-color=800000", "--colorspace=auto"});
    const std::vector<double> reds = exrReds(run.path("t.exr"));
    ASSERT_GT(reds.size(), 64u) << run.result.out;
    EXPECT_NEAR(reds.front(), srgbDecode(0x80 / 255.0), 1e-3);
    EXPECT_NEAR(*std::max_element(reds.begin(), reds.end()), 3.0, 3e-3);
    EXPECT_GT(std::count_if(reds.begin(), reds.end(), [](double v) { return std::fabs(v - 3.0) < 3e-3; }), 20);
  }
  for (const bool automatic : {false, true}) {
    ColourRun run(dds, "png", {"--png-bpp=32", "--rotation=180", "--tonemap=reinhard",
                               automatic ? "--colorspace=auto" : "--colorspace=stored"});
    const DecodedImage image = run.decoded("t.png");
    ASSERT_EQ(image.width, last + 1);
    for (int i = 0; i <= last; ++i) {
      const double mapped = toneMap("reinhard", values[i]);
      EXPECT_EQ(image.at(last - i, 0).r, toByte(automatic ? srgbEncode(mapped) : mapped))
          << values[i] << (automatic ? " auto" : " stored");
    }
  }
}

// A one-row R16G16B16A16_FLOAT texture of {v, v, v, 1} pixels, each v
// given as mantissa x 2^exponent: a mantissa of 1024..2047, or a subnormal
// one of 1..1023 with exponent -24, so that it is a half float exactly.
std::string halfRow(const std::vector<std::pair<int, int>>& values) {
  std::string payload;
  for (const auto& [mantissa, exponent] : values) {
    const uint16_t bits = mantissa < 1024 ? static_cast<uint16_t>(mantissa)
                                          : static_cast<uint16_t>((exponent + 25) << 10 | (mantissa - 1024));
    const uint16_t pixel[4] = {bits, bits, bits, 0x3C00};
    payload.append(reinterpret_cast<const char*>(pixel), sizeof pixel);
  }
  return buildRawDds(dxgiHeader(static_cast<uint32_t>(values.size()), 1, 10), payload);
}

TEST(Colour, FloatSourcesToSixteenBitPngAreEncodedExactly) {
  const std::vector<float> floats = {0.0005f, 0.0031308f, 0.01f, 0.18f, 0.5f, 0.999f};
  const std::vector<std::pair<int, int>> halves = {{1, -24},     {17, -24}, {1234, -20}, {1600, -19},
                                                   {1475, -13}, {1777, -11}, {2047, -11}};
  struct Source {
    std::string dds;
    std::vector<double> values;
  } sources[2];
  sources[0].dds = floatRow(floats);
  sources[0].values.assign(floats.begin(), floats.end());
  sources[1].dds = halfRow(halves);
  for (const auto& [mantissa, exponent] : halves) sources[1].values.push_back(std::ldexp(mantissa, exponent));
  for (const Source& source : sources) {
    ColourRun run(source.dds, "png", {"--colorspace=auto"});
    std::string text;
    runCommand("convert " + shellQuote(run.path("t.png")) + " -depth 16 txt:- 2>/dev/null", &text);
    std::istringstream lines(text);
    std::vector<long> reds;
    for (std::string line; std::getline(lines, line);) {
      if (line.find(": (") != std::string::npos) reds.push_back(std::stol(line.substr(line.find(": (") + 3)));
    }
    ASSERT_EQ(reds.size(), source.values.size()) << text;
    for (size_t i = 0; i < reds.size(); ++i) {
      EXPECT_EQ(reds[i], std::lround(srgbEncode(source.values[i]) * 65535.0)) << source.values[i];
    }
  }
}

TEST(Colour, HalvingACheckerAveragesLight) {
  const std::string dds = buildUncompressedDds(8, 8, 24, kMasksR8G8B8, [](int x, int y) {
    const uint8_t v = (x + y) % 2 ? 255 : 0;
    return opaque(v, v, v);
  });
  ColourRun run(dds, "png", {"--colorspace=auto", "--width=50", "--width-unit=percent", "--height=50",
                       "--height-unit=percent", "--resize-algorithm=box"});
  const DecodedImage image = run.decoded("t.png");
  ASSERT_EQ(image.width, 4);
  const int expected = toByte(srgbEncode(0.5));
  ASSERT_EQ(expected, 188);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(image.at(x, y).g, expected) << x << "," << y;
  }
}

TEST(Colour, TurningByAFreeAngleBlendsLight) {
  // Turned by 30 degrees, a pixel on an edge between white and a darker
  // code low takes the part w of white: with stored colour it mixes codes,
  // code = low + w (255 - low); with auto it must mix light instead.
  const std::string square = buildUncompressedDds(16, 16, 24, kMasksR8G8B8, [](int, int) { return opaque(255, 255, 255); });
  const std::string halves = buildUncompressedDds(
      16, 16, 24, kMasksR8G8B8, [](int x, int) { return x < 8 ? opaque(255, 255, 255) : opaque(0, 0, 0); });
  const struct {
    const char* type;
    const std::string* dds;  // SIMPLE: the square on its background; ADVANCED: mirrored halves
    int low;                 // red of the darker side
  } cases[] = {{"SIMPLE", &square, 0x20}, {"ADVANCED", &halves, 0}};
  for (const auto& c : cases) {
    const std::vector<std::string> turn = {"--rotation=30", std::string("--rotation-type=") + c.type,
                                           "--rotation-back-color=2040C0"};
    ColourRun stored(*c.dds, "png", turn);
    std::vector<std::string> automatic = turn;
    automatic.push_back("--colorspace=auto");
    ColourRun linear(*c.dds, "png", automatic);
    const DecodedImage mixedCodes = stored.decoded("t.png");
    const DecodedImage mixedLight = linear.decoded("t.png");
    ASSERT_EQ(mixedLight.width, mixedCodes.width) << c.type;
    ASSERT_EQ(mixedLight.height, mixedCodes.height) << c.type;
    if (c.dds == &square) {
      ASSERT_GT(mixedLight.width, 16);
      EXPECT_EQ(mixedLight.at(0, 0), opaque(0x20, 0x40, 0xC0)) << "the background keeps its code";
      EXPECT_EQ(mixedLight.at(mixedLight.width / 2, mixedLight.height / 2), opaque(255, 255, 255));
    }
    const double low = srgbDecode(c.low / 255.0);
    int edges = 0;
    for (int y = 0; y < mixedCodes.height; ++y) {
      for (int x = 0; x < mixedCodes.width; ++x) {
        const double white = (mixedCodes.at(x, y).r - c.low) / (255.0 - c.low);
        if (white < 0.25 || white > 0.9) continue;
        ++edges;
        const int expected = toByte(srgbEncode(low + white * (1.0 - low)));
        // The stored run rounds to whole codes (SIMPLE: on each of its three shears).
        EXPECT_NEAR(mixedLight.at(x, y).r, expected, 2) << c.type << " " << x << "," << y << " white " << white;
      }
    }
    EXPECT_GE(edges, 8) << c.type;
  }
}

// The payload of the first chunk of this type in a PNG file; empty when none.
std::string pngChunk(const std::string& path, const std::string& type) {
  std::string bytes;
  EXPECT_TRUE(readWholeFile(path, &bytes));
  for (size_t at = 8; at + 8 <= bytes.size();) {
    const auto length = static_cast<size_t>(static_cast<uint8_t>(bytes[at]) << 24 |
                                            static_cast<uint8_t>(bytes[at + 1]) << 16 |
                                            static_cast<uint8_t>(bytes[at + 2]) << 8 |
                                            static_cast<uint8_t>(bytes[at + 3]));
    if (bytes.compare(at + 4, 4, type) == 0) return bytes.substr(at + 8, length);
    at += 12 + length;
  }
  return "";
}

TEST(Colour, PngChunksSayWhatTheBytesMean) {
  const std::string colour = buildUncompressedDds(2, 2, 24, kMasksR8G8B8, [](int, int) { return opaque(9, 8, 7); });
  const std::string data = buildUncompressedDds(2, 2, 16, ChannelMasks{0xFF, 0xFF00, 0, 0},
                                                [](int, int) { return opaque(9, 8, 0); });
  const std::string gamma45455("\x00\x00\xB1\x8F", 4), gamma100000("\x00\x01\x86\xA0", 4);
  const struct {
    const std::string* dds;
    bool automatic;
    std::string srgb, gama;
  } cases[] = {{&colour, true, std::string(1, '\0'), gamma45455},
               {&data, true, "", gamma100000},
               {&colour, false, "", ""},
               {&data, false, "", ""}};
  for (const auto& c : cases) {
    ColourRun run(*c.dds, "png", c.automatic ? std::vector<std::string>{"--colorspace=auto"} : std::vector<std::string>{});
    EXPECT_EQ(pngChunk(run.path("t.png"), "sRGB"), c.srgb) << (c.dds == &data) << c.automatic;
    EXPECT_EQ(pngChunk(run.path("t.png"), "gAMA"), c.gama) << (c.dds == &data) << c.automatic;
  }
}

TEST(Colour, AlphaModes) {
  const std::vector<Rgba> pixels = {opaque(200, 100, 50, 128), opaque(255, 255, 255, 0),
                                    opaque(10, 20, 30, 255), opaque(90, 91, 92, 1)};
  const std::string dds = buildUncompressedDds(4, 1, 32, kMasksA8R8G8B8,
                                               [&](int x, int) { return pixels[x]; });
  {
    ColourRun run(dds, "png", {"--alpha=premultiplied"});
    const DecodedImage image = run.decoded("t.png");
    for (int x = 0; x < 4; ++x) {
      const Rgba& p = pixels[x];
      const Rgba expected{static_cast<uint8_t>(std::lround(p.r * p.a / 255.0)),
                          static_cast<uint8_t>(std::lround(p.g * p.a / 255.0)),
                          static_cast<uint8_t>(std::lround(p.b * p.a / 255.0)), p.a};
      EXPECT_EQ(image.at(x, 0), expected) << "premultiplied pixel " << x;
    }
  }
  {
    ColourRun run(dds, "png", {"--alpha=drop"});
    EXPECT_EQ(describeIndependently(run.path("t.png")), "srgb 8");
    const DecodedImage image = run.decoded("t.png");
    for (int x = 0; x < 4; ++x) EXPECT_EQ(image.at(x, 0), opaque(pixels[x].r, pixels[x].g, pixels[x].b));
  }
  {
    // The alpha image follows the surface suffix; both mips of the one input count once.
    const std::string mips = buildSurfaceDds({.width = 4, .height = 4, .mips = 2},
                                             [](int mip, int, int, int x, int y) {
                                               return Rgba{50, 60, 70, static_cast<uint8_t>(40 * x + 10 * y + mip)};
                                             });
    ColourRun run(mips, "png", {"--alpha=separate", "--mipmaps=all", "-d"});
    EXPECT_NE(run.result.out.find("Files converted: 1 of 1"), std::string::npos) << run.result.out;
    EXPECT_NE(run.result.out.find("Alpha: separate"), std::string::npos);
    for (int mip = 0; mip < 2; ++mip) {
      const std::string name = "t_mip" + std::to_string(mip);
      EXPECT_EQ(describeIndependently(run.path(name + ".png")), "srgb 8");
      EXPECT_EQ(describeIndependently(run.path(name + "_alpha.png")), "gray 8");
      const DecodedImage alpha = run.decoded(name + "_alpha.png");
      ASSERT_EQ(alpha.width, 4 >> mip);
      for (int y = 0; y < alpha.height; ++y) {
        for (int x = 0; x < alpha.width; ++x) EXPECT_EQ(alpha.at(x, y).r, 40 * x + 10 * y + mip);
      }
    }
  }
  {
    const std::string rgb = buildUncompressedDds(2, 2, 24, kMasksR8G8B8, [](int, int) { return opaque(1, 2, 3); });
    ColourRun run(rgb, "png", {"--alpha=separate"});
    EXPECT_GT(fileSize(run.path("t.png")), 0);
    EXPECT_FALSE(pathExists(run.path("t_alpha.png"))) << "a source without alpha has no alpha image";
  }
}

TEST(Colour, Swizzles) {
  const std::string rgba = buildUncompressedDds(1, 1, 32, kMasksA8R8G8B8,
                                                [](int, int) { return opaque(10, 20, 30, 40); });
  const std::string rgb = buildUncompressedDds(1, 1, 24, kMasksR8G8B8,
                                               [](int, int) { return opaque(10, 20, 30); });
  const struct {
    const std::string* dds;
    const char* swizzle;
    Rgba expected;
  } cases[] = {
      {&rgba, "rgba", opaque(10, 20, 30, 40)}, {&rgba, "bgra", opaque(30, 20, 10, 40)},
      {&rgba, "RRR1", opaque(10, 10, 10, 255)}, {&rgba, "gA01", opaque(20, 40, 0, 255)},
      {&rgb, "0g0r", opaque(0, 20, 0, 10)},    {&rgb, "aaab", opaque(255, 255, 255, 30)},
  };
  for (const auto& c : cases) {
    ColourRun run(*c.dds, "png", {std::string("--swizzle=") + c.swizzle});
    EXPECT_EQ(run.decoded("t.png").at(0, 0), c.expected) << c.swizzle;
  }
}

TEST(Colour, BadValuesPrintTheirErrorLine) {
  const std::string dds = floatRow({0.5f});
  const struct {
    const char* option;
    const char* line;  // nullptr: accepted
  } cases[] = {
      {"--exposure=abc", "Error: Invalid exposure value"},
      {"--exposure=20.01", "Error: Invalid exposure value"},
      {"--exposure=-21", "Error: Invalid exposure value"},
      {"--exposure=1e1", "Error: Invalid exposure value"},
      {"--exposure=-20", nullptr},
      {"--exposure=+19.5", nullptr},
      {"--swizzle=rgb", "Error: Invalid swizzle value"},
      {"--swizzle=rgbx", "Error: Invalid swizzle value"},
      {"--swizzle=rgba1", "Error: Invalid swizzle value"},
      {"--swizzle=10AB", nullptr},
  };
  for (const auto& c : cases) {
    ColourRun run(dds, "png", {c.option});
    const bool failed = run.result.out.find("Files converted") == std::string::npos;
    if (c.line) {
      EXPECT_NE(run.result.out.find(std::string(c.line) + "\r\n"), std::string::npos) << c.option;
      EXPECT_TRUE(failed && !pathExists(run.path("t.png"))) << c.option;
    } else {
      EXPECT_FALSE(failed) << c.option << "\n" << run.result.out;
    }
  }
}

TEST(Colour, DefaultsChangeNoByteAndNoLine) {
  const std::string sources[] = {
      floatRow({-1.0f, 0.25f, 7.0f}),
      buildUncompressedDds(3, 2, 32, kMasksA8R8G8B8,
                           [](int x, int y) { return opaque(40 * x, 90 * y, 7, 60 * x + 3); })};
  for (const std::string& dds : sources) {
    for (const std::string format : {"png", "exr", "tga"}) {
      ColourRun plain(dds, format, {"-d"});
      ColourRun defaults(dds, format, {"-d", "--colorspace=stored", "--source-colorspace=auto",
                                 "--tonemap=clamp", "--exposure=0", "--alpha=straight",
                                 "--swizzle=rgba"});
      std::string a, b;
      ASSERT_TRUE(readWholeFile(plain.path("t." + format), &a)) << format;
      ASSERT_TRUE(readWholeFile(defaults.path("t." + format), &b)) << format;
      EXPECT_EQ(a, b) << format;
      // The folder is in every path line; the rest must match.
      std::string out = defaults.result.out;
      for (size_t at; (at = out.find(defaults.dir.path())) != std::string::npos;) {
        out.replace(at, defaults.dir.path().size(), plain.dir.path());
      }
      EXPECT_EQ(out, plain.result.out) << format;
    }
  }
}
