#include "formats/writers/pixel_comparison.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

#include "formats/writers/verify_pixels.h"

namespace {

constexpr const char* kChannelNames[] = {"red", "green", "blue", "alpha"};
constexpr float kLargestHalf = 65504.0f;

bool sameBits(float a, float b) {
  if (std::isnan(a) && std::isnan(b)) return true;
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// The distance between neighbouring halves around value (subnormal steps
// below the smallest normal half).
float halfStep(float value) {
  int exponent = 0;
  std::frexp(std::fabs(value), &exponent);
  return std::ldexp(1.0f, std::max(exponent - 11, -24));
}

bool matchesHalf(float encoded, float decoded) {
  if (std::isnan(encoded)) return std::isnan(decoded);
  if (std::fabs(encoded) > kLargestHalf) {
    // Beyond the largest half: the largest one or infinity of that sign.
    return std::signbit(encoded) == std::signbit(decoded) &&
           (std::isinf(decoded) || std::fabs(decoded) == kLargestHalf);
  }
  return std::fabs(decoded - encoded) <= halfStep(encoded);
}

// What RGBE can hold of a component: no negatives, no NaN.
float rgbeHoldable(float value) {
  if (std::isnan(value) || value < 0.0f) return 0.0f;
  return value;
}

// All three components share one exponent, set by the largest: each is kept
// to within one step of that exponent's 8-bit mantissa.
bool matchesRgbe(const float* encoded, const float* decoded, int* channel) {
  const float r = rgbeHoldable(encoded[0]), g = rgbeHoldable(encoded[1]), b = rgbeHoldable(encoded[2]);
  const float largest = std::max({r, g, b});
  const float values[] = {r, g, b};
  if (std::isinf(largest)) {
    for (*channel = 0; *channel < 3; ++*channel) {
      if (std::isinf(values[*channel]) && decoded[*channel] < 1e37f) return false;
    }
    return true;
  }
  int exponent = 0;
  std::frexp(largest, &exponent);
  // Values too small for RGBE's exponent read back as 0.
  const float step = largest < 1e-37f ? 1e-37f : std::ldexp(1.0f, exponent - 8);
  for (*channel = 0; *channel < 3; ++*channel) {
    if (!(std::fabs(decoded[*channel] - values[*channel]) <= step)) return false;
  }
  return true;
}

struct Tally {
  double squares = 0.0;       // summed squared differences (PSNR)
  double samples = 0.0;
  double peak = 1.0;          // integer samples lie on 0..1; floats widen it
  bool found = false;         // first exact-rule mismatch
  unsigned x = 0, y = 0;
  int channel = 0;
  float encoded = 0.0f, decoded = 0.0f;
};

void noteMismatch(Tally& tally, unsigned x, unsigned y, int channel, float encoded, float decoded) {
  if (tally.found) return;
  tally.found = true;
  tally.x = x;
  tally.y = y;
  tally.channel = channel;
  tally.encoded = encoded;
  tally.decoded = decoded;
}

void addSquare(Tally& tally, float encoded, float decoded) {
  tally.samples += 1.0;
  if (std::isfinite(encoded)) tally.peak = std::max(tally.peak, static_cast<double>(std::fabs(encoded)));
  if (sameBits(encoded, decoded)) return;
  if (!std::isfinite(encoded) || !std::isfinite(decoded)) {
    tally.squares += std::numeric_limits<double>::infinity();
    return;
  }
  const double difference = static_cast<double>(encoded) - decoded;
  tally.squares += difference * difference;
}

void compareRow(const std::vector<float>& encoded, const std::vector<float>& decoded, unsigned y,
                const VerifyRule& rule, Tally& tally) {
  const size_t width = encoded.size() / 4;
  const VerifyMeasure measure = rule.measure;
  for (size_t x = 0; x < width && !tally.found; ++x) {
    const float* e = &encoded[4 * x];
    const float* d = &decoded[4 * x];
    const bool invisible = rule.invisibleColourFree && (e[3] == 0.0f || d[3] == 0.0f);
    const int channels = rule.colourOnly ? 3 : 4;
    int channel = invisible ? 3 : 0;
    if (channel >= channels) continue;
    int rgbeChannel = 0;
    if (measure == VerifyMeasure::kRgbe && !matchesRgbe(e, d, &rgbeChannel)) {
      noteMismatch(tally, static_cast<unsigned>(x), y, rgbeChannel, e[rgbeChannel], d[rgbeChannel]);
    }
    for (; channel < channels; ++channel) {
      const bool rgbeColour = measure == VerifyMeasure::kRgbe && channel < 3;
      if (measure == VerifyMeasure::kPsnr) {
        addSquare(tally, e[channel], d[channel]);
      } else if (!rgbeColour &&
                 !(measure == VerifyMeasure::kHalfFloat ? matchesHalf(e[channel], d[channel])
                                                        : sameBits(e[channel], d[channel]))) {
        noteMismatch(tally, static_cast<unsigned>(x), y, channel, e[channel], d[channel]);
      }
    }
  }
}

std::string sampleText(float value, bool floats) {
  char text[48];
  if (floats) {
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
  } else {
    std::snprintf(text, sizeof text, "%.6g", static_cast<double>(value) * 255.0);
  }
  return text;
}

std::string sizeText(FIBITMAP* image) {
  return std::to_string(FreeImage_GetWidth(image)) + " x " + std::to_string(FreeImage_GetHeight(image));
}

}  // namespace

bool comparePixels(FIBITMAP* encoded, FIBITMAP* decoded, const VerifyRule& rule,
                   std::string* reason) {
  const PixelTraits encodedTraits = pixelTraitsOf(encoded);
  const PixelTraits decodedTraits = pixelTraitsOf(decoded);
  if (!encodedTraits.known || !decodedTraits.known) {
    *reason = "the decoded image has a pixel type the check cannot read";
    return false;
  }
  if (FreeImage_GetWidth(encoded) != FreeImage_GetWidth(decoded) ||
      FreeImage_GetHeight(encoded) != FreeImage_GetHeight(decoded)) {
    *reason = "the file reads back as " + sizeText(decoded) + " pixels, not " + sizeText(encoded);
    return false;
  }
  // A side without alpha reads opaque: a writer may leave out an alpha that
  // is opaque everywhere, never one that is not.
  const bool floats = encodedTraits.floats || decodedTraits.floats;
  Tally tally;
  std::vector<float> encodedRow, decodedRow;
  const unsigned height = FreeImage_GetHeight(encoded);
  for (unsigned y = 0; y < height && !tally.found; ++y) {
    readRgbaRow(encoded, y, encodedRow);
    readRgbaRow(decoded, y, decodedRow);
    compareRow(encodedRow, decodedRow, y, rule, tally);
  }
  if (tally.found) {
    *reason = std::string(kChannelNames[tally.channel]) + " of pixel " + std::to_string(tally.x) +
              "," + std::to_string(tally.y) + " reads back as " + sampleText(tally.decoded, floats) +
              ", not " + sampleText(tally.encoded, floats);
    return false;
  }
  if (rule.measure != VerifyMeasure::kPsnr || tally.squares == 0.0 || tally.samples == 0.0) return true;
  const double meanSquare = tally.squares / tally.samples;
  const double psnr = 10.0 * std::log10(tally.peak * tally.peak / meanSquare);
  if (psnr >= rule.minimumPsnr) return true;
  char text[96];
  std::snprintf(text, sizeof text, "PSNR %.1f dB, below %.0f dB", std::isfinite(psnr) ? psnr : 0.0,
                rule.minimumPsnr);
  *reason = text;
  return false;
}
