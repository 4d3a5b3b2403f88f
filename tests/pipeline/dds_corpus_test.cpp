#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <set>

#include "batch/file_conversion.h"
#include "pipeline/independent_reader.h"
#include "pipeline/pipeline_test_support.h"
#include "platform/files.h"
#include "support/plan_support.h"
#include "support/temp_dir.h"

// DDS files from independent encoders (NVIDIA Texture Tools, ImageMagick)
// and from the test generator, converted to PNG with default settings and
// compared with an independent decoder's reading of the same DDS file.
//
// Every variant is held to the reference: interpolated block colours and
// widened 5-bit channels within one step (the program rounds the exact
// fractions of the format description, the references truncate), 8-bit
// layouts exactly. The differences are also printed and recorded as test
// properties. A file that cannot be loaded must fail cleanly: nothing written.

namespace {

enum class Reference { ImageMagick, Nvdecompress };

struct Variant {
  const char* name;
  // Writes the DDS file at the given path from source.png in the same folder.
  std::function<bool(const std::string& folder, const std::string& dds, int w, int h)> make;
  Reference reference;
};

bool run(const std::string& command) { return runCommand(command + " >/dev/null") == 0; }

Variant nvVariant(const char* name, const std::string& options) {
  return {name,
          [options](const std::string& folder, const std::string& dds, int, int) {
            return run("nvcompress -alpha " + options + " " + shellQuote(folder + "source.png") + " " +
                       shellQuote(dds));
          },
          Reference::Nvdecompress};
}

Variant magickVariant(const char* name, const std::string& defines) {
  return {name,
          [defines](const std::string& folder, const std::string& dds, int, int) {
            return run("/usr/bin/convert " + shellQuote(folder + "source.png") + " " + defines + " " +
                       shellQuote("dds:" + dds));
          },
          Reference::ImageMagick};
}

Rgba picture(int x, int y, int w, int h) {
  return Rgba{static_cast<uint8_t>(255 * x / std::max(1, w - 1)),
              static_cast<uint8_t>(255 * y / std::max(1, h - 1)),
              static_cast<uint8_t>((x * 37 + y * 11) % 256), static_cast<uint8_t>(64 + 191 * x / std::max(1, w - 1))};
}

Variant builderVariant(const char* name, int bits, ChannelMasks masks) {
  return {name,
          [bits, masks](const std::string&, const std::string& dds, int w, int h) {
            return writeBinaryFile(dds, buildUncompressedDds(w, h, bits, masks, [&](int x, int y) {
                                     return picture(x, y, w, h);
                                   }, {.mipmaps = true}));
          },
          Reference::Nvdecompress};
}

std::vector<Variant> variants() {
  return {
      nvVariant("nv bc1", "-bc1"),           nvVariant("nv bc1 nomips", "-bc1 -nomips"),
      nvVariant("nv bc1a", "-bc1a"),         nvVariant("nv bc2", "-bc2"),
      nvVariant("nv bc3", "-bc3"),           nvVariant("nv bc3 nomips", "-bc3 -nomips"),
      nvVariant("nv bc4", "-bc4"),           nvVariant("nv bc5", "-bc5"),
      nvVariant("nv rgba", "-rgb"),          nvVariant("nv rgba nomips", "-rgb -nomips"),
      magickVariant("im dxt1", "-define dds:compression=dxt1"),
      magickVariant("im dxt5", "-define dds:compression=dxt5"),
      magickVariant("im dxt5 nomips", "-define dds:compression=dxt5 -define dds:mipmaps=0"),
      magickVariant("im none", "-define dds:compression=none"),
      builderVariant("gen r8g8b8", 24, kMasksR8G8B8),
      builderVariant("gen a8r8g8b8", 32, kMasksA8R8G8B8),
      builderVariant("gen x8r8g8b8", 32, kMasksX8R8G8B8),
      builderVariant("gen a8b8g8r8", 32, kMasksA8B8G8R8),
      builderVariant("gen r5g6b5", 16, kMasksR5G6B5),
      builderVariant("gen a1r5g5b5", 16, kMasksA1R5G5B5),
      builderVariant("gen a4r4g4b4", 16, kMasksA4R4G4B4),
  };
}

struct Comparison {
  bool sameSize = false;
  int colour = 0;           // largest colour difference over the shared area
  int alpha = 0;            // largest alpha difference, when our output keeps alpha
  bool alphaLost = false;   // the reference has transparency, our output none
};

// Compares the area both images cover (FreeImage crops some sizes).
Comparison compare(const DecodedImage& ours, const DecodedImage& reference, bool oursHasAlpha) {
  Comparison result;
  result.sameSize = ours.width == reference.width && ours.height == reference.height;
  for (int y = 0; y < std::min(ours.height, reference.height); ++y) {
    for (int x = 0; x < std::min(ours.width, reference.width); ++x) {
      const Rgba& p = ours.at(x, y);
      const Rgba& q = reference.at(x, y);
      result.colour = std::max({result.colour, std::abs(p.r - q.r), std::abs(p.g - q.g),
                                std::abs(p.b - q.b)});
      if (oursHasAlpha) result.alpha = std::max(result.alpha, std::abs(p.a - q.a));
      if (!oursHasAlpha && q.a < 250) result.alphaLost = true;
    }
  }
  return result;
}

std::string describe(const Comparison& c, const DecodedImage& ours) {
  std::string text;
  if (!c.sameSize) text += "cropped to " + std::to_string(ours.width) + "x" + std::to_string(ours.height) + ", ";
  text += "colour " + std::to_string(c.colour);
  text += c.alphaLost ? ", alpha lost" : ", alpha " + std::to_string(c.alpha);
  return text;
}

}  // namespace

TEST(DdsCorpus, DecodingAgreesWithIndependentDecoders) {
  // Largest colour and alpha difference each variant is held to wherever
  // FreeImage keeps the size; variants not listed are only measured.
  const std::map<std::string, int> heldTo = {
      {"nv bc1", 1},     {"nv bc1 nomips", 1},  {"nv bc1a", 1},    {"nv bc2", 1},
      {"nv bc3", 1},     {"nv bc3 nomips", 1},  {"nv bc4", 1},     {"nv bc5", 1},
      {"nv rgba", 0},    {"nv rgba nomips", 0}, {"im dxt1", 1},    {"im dxt5", 1},
      {"im dxt5 nomips", 1}, {"im none", 0},    {"gen r8g8b8", 0}, {"gen a8r8g8b8", 0},
      {"gen x8r8g8b8", 0}, {"gen a8b8g8r8", 0}, {"gen r5g6b5", 1}, {"gen a1r5g5b5", 1},
      {"gen a4r4g4b4", 0},
  };
  // Layouts the reader refuses (none of the corpus).
  const std::set<std::string> unreadable = {};
  struct Size {
    int w, h;
  } sizes[] = {{64, 64}, {96, 40}, {30, 18}, {13, 7}};
  for (const Variant& variant : variants()) {
    for (const Size& size : sizes) {
      TempDir dir;
      const std::string label = std::string(variant.name) + " " + std::to_string(size.w) + "x" +
                                std::to_string(size.h);
      ASSERT_TRUE(run("/usr/bin/convert -size " + std::to_string(size.w) + "x" + std::to_string(size.h) +
                      " gradient:'rgba(255,40,0,1)-rgba(0,90,255,0.3)' -depth 8 " +
                      shellQuote("png32:" + dir.path() + "source.png")))
          << label;
      const std::string dds = dir.path() + "texture.dds";
      ASSERT_TRUE(variant.make(dir.path(), dds, size.w, size.h)) << label;

      DecodedImage reference;
      const bool referenceOk = variant.reference == Reference::ImageMagick
                                   ? decodeWithImageMagick(dds, &reference)
                                   : decodeWithNvdecompress(dds, &reference);
      ASSERT_TRUE(referenceOk) << label;

      ConversionSetup setup = makeSetup("png", dds, dir.path());
      const bool converted = convertAndSaveFile(setup, {});
      takeLibraryMessages();
      EXPECT_EQ(converted, unreadable.count(variant.name) == 0) << label;
      std::string result;
      if (!converted) {
        EXPECT_FALSE(pathExists(setup.job.outputFile)) << label;
        result = "not loaded";
      } else {
        DecodedImage ours;
        ASSERT_TRUE(decodeWithImageMagick(setup.job.outputFile, &ours)) << label;
        const Comparison comparison = compare(ours, reference, setup.job.sourceBpp == 32);
        result = describe(comparison, ours);
        auto held = heldTo.find(variant.name);
        if (held != heldTo.end() && comparison.sameSize) {
          EXPECT_LE(comparison.colour, held->second) << label;
          EXPECT_LE(comparison.alpha, held->second) << label;
          EXPECT_FALSE(comparison.alphaLost) << label;
        }
        // Only block layouts of sizes other than multiples of 4 may change size.
        const bool blockCrop = size.w % 4 != 0 || size.h % 4 != 0;
        if (held != heldTo.end() && !blockCrop) {
          EXPECT_TRUE(comparison.sameSize) << label;
        }
      }
      std::printf("[ corpus   ] %-18s %-7s %s\n", variant.name,
                  (std::to_string(size.w) + "x" + std::to_string(size.h)).c_str(), result.c_str());
      testing::Test::RecordProperty(label, result);
    }
  }
}
