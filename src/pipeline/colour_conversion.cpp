#include "pipeline/colour_conversion.h"

#include <cmath>

#include "pipeline/pixel_channels.h"
#include "pipeline/srgb_curve.h"
#include "pipeline/srgb_float_encoder.h"

namespace {

SourceColourSpace chosenSpace(const ColourStep& step, SourceColourSpace space) {
  if (space == SourceColourSpace::kData) return space;
  if (step.source == SourceSpaceChoice::kSrgb) return SourceColourSpace::kSrgb;
  if (step.source == SourceSpaceChoice::kLinear) return SourceColourSpace::kLinear;
  return space;
}

float scaledToOne(ChannelLayout::Sample sample) {
  switch (sample) {
    case ChannelLayout::Sample::kByte: return 1.0f / 255.0f;
    case ChannelLayout::Sample::kWord: return 1.0f / 65535.0f;
    default: return 1.0f;
  }
}

template <typename T>
void linearRows(FIBITMAP* in, const ChannelLayout& from, FIBITMAP* out, bool decode) {
  const int width = static_cast<int>(FreeImage_GetWidth(in));
  const int height = static_cast<int>(FreeImage_GetHeight(in));
  const float scale = scaledToOne(from.sample);
  const int step = from.hasAlpha() ? 4 : 3;
  const float* table = srgbTables().decoded.data();
  auto colour = [&](T value) {
    if constexpr (sizeof(T) == 1) {
      return decode ? table[value] : value * scale;
    } else {
      return decode ? srgbDecode(static_cast<float>(value) * scale) : static_cast<float>(value) * scale;
    }
  };
  for (int y = 0; y < height; ++y) {
    const T* source = reinterpret_cast<const T*>(FreeImage_GetScanLine(in, y));
    float* target = reinterpret_cast<float*>(FreeImage_GetScanLine(out, y));
    for (int x = 0; x < width; ++x, source += from.step, target += step) {
      target[0] = colour(source[from.red]);
      target[1] = colour(source[from.green]);
      target[2] = colour(source[from.blue]);
      if (from.hasAlpha()) target[3] = static_cast<float>(source[from.alpha]) * scale;
    }
  }
}

// 8-bit sRGB colour to 16-bit linear light and back, alpha widened (x 257)
// and narrowed exactly.
void wordRows(FIBITMAP* in, const ChannelLayout& from, FIBITMAP* out) {
  const int width = static_cast<int>(FreeImage_GetWidth(in));
  const int height = static_cast<int>(FreeImage_GetHeight(in));
  const int step = from.hasAlpha() ? 4 : 3;
  const uint16_t* table = srgbWordTables().decoded.data();
  for (int y = 0; y < height; ++y) {
    const BYTE* source = FreeImage_GetScanLine(in, y);
    WORD* target = reinterpret_cast<WORD*>(FreeImage_GetScanLine(out, y));
    for (int x = 0; x < width; ++x, source += from.step, target += step) {
      target[0] = table[source[from.red]];
      target[1] = table[source[from.green]];
      target[2] = table[source[from.blue]];
      if (from.hasAlpha()) target[3] = static_cast<WORD>(source[from.alpha] * 257);
    }
  }
}

void encodedWordRows(FIBITMAP* in, const ChannelLayout& from, FIBITMAP* out, const ChannelLayout& to) {
  const int width = static_cast<int>(FreeImage_GetWidth(in));
  const int height = static_cast<int>(FreeImage_GetHeight(in));
  const uint8_t* table = srgbWordTables().encoded.data();
  for (int y = 0; y < height; ++y) {
    const WORD* source = reinterpret_cast<const WORD*>(FreeImage_GetScanLine(in, y));
    BYTE* target = FreeImage_GetScanLine(out, y);
    for (int x = 0; x < width; ++x, source += from.step, target += to.step) {
      target[to.red] = table[source[from.red]];
      target[to.green] = table[source[from.green]];
      target[to.blue] = table[source[from.blue]];
      if (to.hasAlpha()) target[to.alpha] = static_cast<BYTE>((source[from.alpha] + 128u) / 257u);
    }
  }
}

float clamped(float value) { return value > 0.0f ? std::min(value, 1.0f) : 0.0f; }

// std::lround of a value of 0..65535 without the library call: in double,
// value + 0.5 is exact, so truncating it rounds halves away from zero.
template <typename T>
T rounded(float value) {
  return static_cast<T>(static_cast<double>(value) + 0.5);
}

// One float colour channel to its integer code, as the work says.
template <typename T>
struct ChannelCoder {
  const ColourWork& work;
  const ColourStep& step;
  float gain = std::exp2(step.exposure);
  const SrgbFloatEncoder& encoder = srgbFloatEncoder();

  T operator()(float c) const {
    if (work.toneMapped) c = toneMapChannel(c * gain, step.toneMap);
    if (work.srgbEncode) return encoded(c);
    return rounded<T>(clamped(c) * top());
  }
  T encoded(float c) const {
    if constexpr (sizeof(T) == 1) return encoder.code8(c);
    else return encoder.code16(c);
  }
  static constexpr float top() { return sizeof(T) == 1 ? 255.0f : 65535.0f; }
};

// The rows of a float image as integer channels: colour by code, alpha
// only clamped and scaled (dropped when the output has no alpha channel).
template <typename T, typename Code>
void integerRows(FIBITMAP* in, FIBITMAP* out, const ChannelLayout& to, bool inAlpha, Code code) {
  const int width = static_cast<int>(FreeImage_GetWidth(in));
  const int height = static_cast<int>(FreeImage_GetHeight(in));
  const int inStep = inAlpha ? 4 : 3;
  constexpr float kTop = sizeof(T) == 1 ? 255.0f : 65535.0f;
  for (int y = 0; y < height; ++y) {
    const float* source = reinterpret_cast<const float*>(FreeImage_GetScanLine(in, y));
    T* target = reinterpret_cast<T*>(FreeImage_GetScanLine(out, y));
    for (int x = 0; x < width; ++x, source += inStep, target += to.step) {
      target[to.red] = code(source[0]);
      target[to.green] = code(source[1]);
      target[to.blue] = code(source[2]);
      if (to.hasAlpha()) target[to.alpha] = rounded<T>(clamped(source[3]) * kTop);
    }
  }
}

// The clamp tone map is the encoder's own clamp: exposure, then the code,
// with no call per channel.
template <typename T>
void integerImage(FIBITMAP* in, FIBITMAP* out, const ChannelLayout& to, bool inAlpha,
                  const ColourWork& work, const ColourStep& step) {
  const ChannelCoder<T> coder{work, step};
  const bool clampOnly = !work.toneMapped || step.toneMap == ToneMap::kClamp;
  if (work.srgbEncode && clampOnly && coder.gain == 1.0f) {
    integerRows<T>(in, out, to, inAlpha, [&](float c) { return coder.encoded(c); });
  } else if (work.srgbEncode && clampOnly) {
    integerRows<T>(in, out, to, inAlpha, [&](float c) { return coder.encoded(c * coder.gain); });
  } else {
    integerRows<T>(in, out, to, inAlpha, coder);
  }
}

}  // namespace

ColourWork planColourWork(const ColourStep& step, const ColourFacts& facts) {
  ColourWork work;
  const bool floatOutput = facts.floatOutput;
  work.wide = facts.outputDepth == 48 || facts.outputDepth == 64;
  // Outputs of 24 or 48 bits drop alpha; no step on the way reads it.
  work.keepsAlpha = facts.outputDepth != 24 && facts.outputDepth != 48;
  const SourceColourSpace space = chosenSpace(step, facts.space);
  if (blendsInLinearLight(step, facts.space)) {
    work.toLinear = work.srgbDecode = floatOutput || facts.resamples;
    work.toInteger = work.srgbEncode = !floatOutput && facts.resamples;
    work.inWords = work.toInteger && !work.wide && !facts.floatSource && facts.eightBitSource;
  } else if (step.mode == ColourMode::kAuto && space == SourceColourSpace::kLinear) {
    work.toLinear = work.toInteger = work.toneMapped = work.srgbEncode = !floatOutput;
  } else {
    const bool mapped = step.toneMap != ToneMap::kClamp || step.exposure != 0.0f;
    work.toInteger = work.toneMapped = mapped && facts.floatSource && !floatOutput;
  }
  return work;
}

bool readsFloatRange(const ColourStep& step) {
  return step.mode == ColourMode::kAuto || step.toneMap != ToneMap::kClamp || step.exposure != 0.0f;
}

bool blendsInLinearLight(const ColourStep& step, SourceColourSpace space) {
  return step.mode == ColourMode::kAuto && chosenSpace(step, space) == SourceColourSpace::kSrgb;
}

Bitmap toLinearLight(Bitmap image, const ColourWork& work) {
  image = withChannelLayout(std::move(image));
  if (!image) return image;
  const bool decode = work.srgbDecode;
  const ChannelLayout from = *channelLayoutOf(image.get());
  if (from.sample == ChannelLayout::Sample::kFloat && !decode) return image;
  const bool words = work.inWords && from.sample == ChannelLayout::Sample::kByte && decode;
  Bitmap out = allocateChannels(words ? ChannelLayout::Sample::kWord : ChannelLayout::Sample::kFloat,
                                from.hasAlpha(), static_cast<int>(FreeImage_GetWidth(image.get())),
                                static_cast<int>(FreeImage_GetHeight(image.get())));
  if (!out) return out;
  if (words) {
    wordRows(image.get(), from, out.get());
    return out;
  }
  switch (from.sample) {
    case ChannelLayout::Sample::kByte: linearRows<BYTE>(image.get(), from, out.get(), decode); break;
    case ChannelLayout::Sample::kWord: linearRows<WORD>(image.get(), from, out.get(), decode); break;
    case ChannelLayout::Sample::kFloat: linearRows<float>(image.get(), from, out.get(), decode); break;
  }
  return out;
}

Bitmap toOutputValues(Bitmap image, const ColourWork& work, const ColourStep& step) {
  if (!image || !work.toInteger) return image;
  const std::optional<ChannelLayout> from = channelLayoutOf(image.get());
  if (!from) return image;
  if (work.inWords && from->sample == ChannelLayout::Sample::kWord) {
    Bitmap out = allocateChannels(ChannelLayout::Sample::kByte, from->hasAlpha() && work.keepsAlpha,
                                  static_cast<int>(FreeImage_GetWidth(image.get())),
                                  static_cast<int>(FreeImage_GetHeight(image.get())));
    if (out) encodedWordRows(image.get(), *from, out.get(), *channelLayoutOf(out.get()));
    return out;
  }
  if (from->sample != ChannelLayout::Sample::kFloat) return image;
  const ChannelLayout::Sample sample =
      work.wide ? ChannelLayout::Sample::kWord : ChannelLayout::Sample::kByte;
  Bitmap out = allocateChannels(sample, from->hasAlpha() && work.keepsAlpha,
                                static_cast<int>(FreeImage_GetWidth(image.get())),
                                static_cast<int>(FreeImage_GetHeight(image.get())));
  if (!out) return out;
  const ChannelLayout to = *channelLayoutOf(out.get());
  if (work.wide) integerImage<WORD>(image.get(), out.get(), to, from->hasAlpha(), work, step);
  else integerImage<BYTE>(image.get(), out.get(), to, from->hasAlpha(), work, step);
  return out;
}
