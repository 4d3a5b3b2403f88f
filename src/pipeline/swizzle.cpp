#include "pipeline/swizzle.h"


#include "pipeline/pixel_channels.h"

namespace {

std::optional<SwizzleSource> sourceOf(char letter) {
  switch (letter) {
    case 'r': case 'R': return SwizzleSource::kRed;
    case 'g': case 'G': return SwizzleSource::kGreen;
    case 'b': case 'B': return SwizzleSource::kBlue;
    case 'a': case 'A': return SwizzleSource::kAlpha;
    case '0': return SwizzleSource::kZero;
    case '1': return SwizzleSource::kOne;
    default: return std::nullopt;
  }
}

template <typename T>
void swizzleRows(FIBITMAP* in, const ChannelLayout& from, FIBITMAP* out, const ChannelLayout& to,
                 const std::array<SwizzleSource, 4>& sources, T one) {
  const int width = static_cast<int>(FreeImage_GetWidth(in));
  const int height = static_cast<int>(FreeImage_GetHeight(in));
  const int targets[4] = {to.red, to.green, to.blue, to.alpha};
  for (int y = 0; y < height; ++y) {
    const T* source = reinterpret_cast<const T*>(FreeImage_GetScanLine(in, y));
    T* target = reinterpret_cast<T*>(FreeImage_GetScanLine(out, y));
    for (int x = 0; x < width; ++x, source += from.step, target += to.step) {
      const T values[6] = {source[from.red], source[from.green], source[from.blue],
                           from.hasAlpha() ? source[from.alpha] : one, T{0}, one};
      for (int c = 0; c < 4; ++c) {
        if (targets[c] >= 0) target[targets[c]] = values[static_cast<int>(sources[c])];
      }
    }
  }
}

}  // namespace

std::optional<SwizzleStep> parseSwizzle(std::string_view text) {
  if (text.size() != 4) return std::nullopt;
  SwizzleStep step;
  for (size_t i = 0; i < 4; ++i) {
    const std::optional<SwizzleSource> source = sourceOf(text[i]);
    if (!source) return std::nullopt;
    step.sources[i] = *source;
  }
  step.enabled = step.sources != SwizzleStep{}.sources;
  return step;
}

Bitmap applySwizzle(Bitmap image, const SwizzleStep& step) {
  if (!image || !step.enabled) return image;
  image = withChannelLayout(std::move(image));
  if (!image) return image;
  const ChannelLayout from = *channelLayoutOf(image.get());
  const SwizzleSource alphaSource = step.sources[3];
  const bool alpha = from.hasAlpha() ||
                     (alphaSource != SwizzleSource::kAlpha && alphaSource != SwizzleSource::kOne);
  Bitmap out = allocateChannels(from.sample, alpha, static_cast<int>(FreeImage_GetWidth(image.get())),
                                static_cast<int>(FreeImage_GetHeight(image.get())));
  if (!out) return out;
  const ChannelLayout to = *channelLayoutOf(out.get());
  switch (from.sample) {
    case ChannelLayout::Sample::kByte:
      swizzleRows<BYTE>(image.get(), from, out.get(), to, step.sources, 255);
      break;
    case ChannelLayout::Sample::kWord:
      swizzleRows<WORD>(image.get(), from, out.get(), to, step.sources, 65535);
      break;
    case ChannelLayout::Sample::kFloat:
      swizzleRows<float>(image.get(), from, out.get(), to, step.sources, 1.0f);
      break;
  }
  return out;
}
