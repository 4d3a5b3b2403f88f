#include "formats/dds/layout_rows.h"

#include <FreeImage.h>

#include <cstring>
#include <memory>
#include <vector>

#include "formats/dds/small_floats.h"

namespace {

// The values a signed normalized field of `bits` bits (8 or 16) decodes to,
// indexed by the stored code, and the float of every half. Built by the
// reference decoders themselves, so the row paths cannot round differently.
std::vector<uint16_t> snormTable(int bits) {
  PixelLayout layout;
  layout.bytesPerPixel = static_cast<uint32_t>(bits / 8);
  layout.red = Channel{0, static_cast<uint8_t>(bits), ChannelEncoding::Snorm};
  layout.grey = true;
  layout.output = bits == 8 ? PixelOutput::Grey8 : PixelOutput::Rgb16;
  std::vector<uint16_t> table(size_t{1} << bits);
  for (uint32_t code = 0; code < table.size(); ++code) {
    const uint8_t stored[2] = {static_cast<uint8_t>(code), static_cast<uint8_t>(code >> 8)};
    uint8_t decoded[sizeof(FIRGB16)];
    decodeLayoutRow(layout, stored, 1, decoded);
    if (bits == 8) {
      table[code] = decoded[0];
    } else {
      FIRGB16 pixel;
      std::memcpy(&pixel, decoded, sizeof pixel);
      table[code] = pixel.red;
    }
  }
  return table;
}

const std::vector<uint16_t>& snorm8Table() {
  static const std::vector<uint16_t> table = snormTable(8);
  return table;
}

const std::vector<uint16_t>& snorm16Table() {
  static const std::vector<uint16_t> table = snormTable(16);
  return table;
}

const std::vector<float>& halfTable() {
  static const std::vector<float> table = [] {
    std::vector<float> t(65536);
    for (uint32_t h = 0; h < t.size(); ++h) t[h] = halfToFloat(static_cast<uint16_t>(h));
    return t;
  }();
  return table;
}

// One output pixel of outputChannels values per stored pixel: each value is
// convert(the In stored at from[j]) or fill[j]. Loads go through memcpy, as
// stored pixels need not be aligned.
template <typename In, typename Out, uint32_t outputChannels, typename Convert>
void shuffleRow(const uint8_t* source, uint32_t step, uint32_t width, const int8_t* fromOffsets,
                const Out* fillValues, uint8_t* scanline, Convert convert) {
  int8_t from[outputChannels];
  Out fill[outputChannels];
  for (uint32_t j = 0; j < outputChannels; ++j) {
    from[j] = fromOffsets[j];
    fill[j] = fillValues[j];
  }
  Out* out = reinterpret_cast<Out*>(scanline);
  for (uint32_t x = 0; x < width; ++x, source += step, out += outputChannels) {
    for (uint32_t j = 0; j < outputChannels; ++j) {
      if (from[j] < 0) {
        out[j] = fill[j];
      } else {
        In stored;
        std::memcpy(&stored, source + from[j], sizeof stored);
        out[j] = convert(stored);
      }
    }
  }
}

// shuffleRow for the output's channel count (1, 3 or 4).
template <typename In, typename Out, typename Convert>
void shuffleRowOf(uint32_t outputChannels, const uint8_t* source, uint32_t step, uint32_t width,
                  const int8_t* from, const Out* fill, uint8_t* scanline, Convert convert) {
  switch (outputChannels) {
    case 1: shuffleRow<In, Out, 1>(source, step, width, from, fill, scanline, convert); break;
    case 3: shuffleRow<In, Out, 3>(source, step, width, from, fill, scanline, convert); break;
    default: shuffleRow<In, Out, 4>(source, step, width, from, fill, scanline, convert); break;
  }
}

// One output pixel of outputBytes bytes per stored pixel of step bytes (1
// or 2, little-endian), looked up in a table of every stored value.
template <uint32_t outputBytes, uint32_t step>
void lookupRow(const uint32_t* table, const uint8_t* source, uint32_t width, uint8_t* scanline) {
  for (uint32_t x = 0; x < width; ++x, source += step, scanline += outputBytes) {
    const uint32_t code = step == 2 ? source[0] | source[1] << 8 : source[0];
    std::memcpy(scanline, &table[code], outputBytes);
  }
}

void lookupRowOf(uint32_t outputBytes, uint32_t step, const uint32_t* table, const uint8_t* source,
                 uint32_t width, uint8_t* scanline) {
  if (step == 1) {
    if (outputBytes == 1) return lookupRow<1, 1>(table, source, width, scanline);
    if (outputBytes == 3) return lookupRow<3, 1>(table, source, width, scanline);
    return lookupRow<4, 1>(table, source, width, scanline);
  }
  if (outputBytes == 1) return lookupRow<1, 2>(table, source, width, scanline);
  if (outputBytes == 3) return lookupRow<3, 2>(table, source, width, scanline);
  lookupRow<4, 2>(table, source, width, scanline);
}

// The output bytes of every stored value of a layout of one or two bytes a
// pixel, filled by the mask decoder. The thread keeps the last layout's
// table: the files of a batch mostly share one, and a table costs a mask
// decode of every stored value.
std::shared_ptr<const std::vector<uint32_t>> lookupTableFor(const PixelLayout& layout) {
  thread_local PixelLayout lastLayout;
  thread_local std::shared_ptr<const std::vector<uint32_t>> lastTable;
  if (lastTable && lastLayout == layout) return lastTable;
  const uint32_t values = 1u << (8 * layout.bytesPerPixel);
  std::vector<uint8_t> stored(size_t{values} * layout.bytesPerPixel);
  for (uint32_t code = 0; code < values; ++code) {
    for (uint32_t byte = 0; byte < layout.bytesPerPixel; ++byte) {
      stored[code * layout.bytesPerPixel + byte] = static_cast<uint8_t>(code >> (8 * byte));
    }
  }
  const uint32_t outputBytes = outputBytesPerPixel(layout.output);
  std::vector<uint8_t> decoded(size_t{values} * outputBytes);
  decodeLayoutRow(layout, stored.data(), values, decoded.data());
  auto table = std::make_shared<std::vector<uint32_t>>(values, 0);
  for (uint32_t code = 0; code < values; ++code) {
    std::memcpy(&(*table)[code], &decoded[size_t{code} * outputBytes], outputBytes);
  }
  lastLayout = layout;
  lastTable = std::move(table);
  return lastTable;
}

// Where each channel (red, green, blue, alpha) sits in an output pixel.
void outputPositions(PixelOutput output, int* positions) {
  const bool bytes = output == PixelOutput::Grey8 || output == PixelOutput::Rgb8 ||
                     output == PixelOutput::Rgba8;
  if (bytes) {
    positions[0] = FI_RGBA_RED;
    positions[1] = FI_RGBA_GREEN;
    positions[2] = FI_RGBA_BLUE;
    positions[3] = FI_RGBA_ALPHA;
    if (output == PixelOutput::Grey8) positions[1] = positions[2] = positions[3] = -1;
  } else {
    for (int c = 0; c < 4; ++c) positions[c] = c;
  }
  if (!outputHasAlpha(output)) positions[3] = -1;
  if (output == PixelOutput::Grey8) positions[0] = 0;
}

}  // namespace

LayoutRowDecoder::LayoutRowDecoder(const PixelLayout& layout, uint64_t imagePixels)
    : layout_(layout) {
  chooseRowPath();
  // The table costs one mask decode of each stored value; from four times as
  // many pixels on it is the cheaper way.
  if (kind_ == Kind::Generic && layout.bytesPerPixel <= 2 &&
      imagePixels >= 4 * (uint64_t{1} << (8 * layout.bytesPerPixel))) {
    chooseLookup();
  }
}

void LayoutRowDecoder::chooseLookup() {
  const PixelOutput output = layout_.output;
  if (output != PixelOutput::Grey8 && output != PixelOutput::Rgb8 && output != PixelOutput::Rgba8) {
    return;
  }
  lookup_ = lookupTableFor(layout_);
  kind_ = Kind::Lookup;
}

void LayoutRowDecoder::chooseRowPath() {
  const PixelLayout& layout = layout_;
  if (layout.sharedExponent) return;
  const Channel* channels[4] = {&layout.red, &layout.green, &layout.blue, &layout.alpha};
  uint32_t bits = 0;
  ChannelEncoding encoding = ChannelEncoding::Absent;
  for (const Channel* channel : channels) {
    if (channel->encoding == ChannelEncoding::Absent) continue;
    if (bits == 0) {
      bits = channel->bits;
      encoding = channel->encoding;
    }
    if (channel->bits != bits || channel->encoding != encoding || channel->offset % 8 != 0 ||
        channel->offset / 8u + bits / 8u > layout.bytesPerPixel) {
      return;
    }
  }
  const PixelOutput output = layout.output;
  const bool byteOutput = output == PixelOutput::Grey8 || output == PixelOutput::Rgb8 ||
                          output == PixelOutput::Rgba8;
  const bool wordOutput = output == PixelOutput::Rgb16 || output == PixelOutput::Rgba16;
  const bool floatOutput = output == PixelOutput::RgbF || output == PixelOutput::RgbaF;
  const bool normalized = encoding == ChannelEncoding::Unorm || encoding == ChannelEncoding::Snorm;
  const bool isSigned = encoding == ChannelEncoding::Snorm;
  Kind kind = Kind::Generic;
  if (bits == 8 && normalized && byteOutput) kind = isSigned ? Kind::Snorm8 : Kind::Unorm8;
  if (bits == 16 && normalized && wordOutput) kind = isSigned ? Kind::Snorm16 : Kind::Unorm16;
  if (bits == 16 && encoding == ChannelEncoding::Float && floatOutput) kind = Kind::Half;
  if (bits == 32 && encoding == ChannelEncoding::Float && floatOutput) kind = Kind::Float32;
  if (kind == Kind::Generic) return;

  int positions[4];
  outputPositions(output, positions);
  const uint32_t outputBytes = outputBytesPerPixel(output);
  outputChannels_ = output == PixelOutput::Grey8 ? 1 : outputHasAlpha(output) ? 4 : 3;
  for (int c = 0; c < 4; ++c) {
    if (positions[c] < 0) continue;
    const Channel& channel = layout.grey && c < 3 ? layout.red : *channels[c];
    from_[positions[c]] =
        channel.encoding == ChannelEncoding::Absent ? -1 : static_cast<int8_t>(channel.offset / 8);
    fillIsTop_[positions[c]] = c == 3;
  }

  // Stored bytes that already are the bitmap's: the same size, every channel
  // present where the bitmap keeps it, values taken as they are.
  bool same = layout.bytesPerPixel == outputBytes && kind != Kind::Snorm8 &&
              kind != Kind::Snorm16 && kind != Kind::Half;
  for (uint32_t j = 0; j < outputChannels_; ++j) {
    if (from_[j] != static_cast<int8_t>(j * outputBytes / outputChannels_)) same = false;
  }
  kind_ = same ? Kind::Copy : kind;
  if (kind_ == Kind::Snorm8) snorm8Table();
  if (kind_ == Kind::Snorm16) snorm16Table();
  if (kind_ == Kind::Half) halfTable();
}

void LayoutRowDecoder::decode(const uint8_t* source, uint32_t width, uint8_t* scanline) const {
  const uint32_t step = layout_.bytesPerPixel;
  const uint32_t n = outputChannels_;
  uint8_t fill8[4];
  uint16_t fill16[4];
  float fillFloat[4];
  for (int j = 0; j < 4; ++j) {
    fill8[j] = fillIsTop_[j] ? 255 : 0;
    fill16[j] = fillIsTop_[j] ? 65535 : 0;
    fillFloat[j] = fillIsTop_[j] ? 1.0f : 0.0f;
  }
  switch (kind_) {
    case Kind::Generic:
      decodeLayoutRow(layout_, source, width, scanline);
      break;
    case Kind::Copy:
      std::memcpy(scanline, source, size_t{width} * step);
      break;
    case Kind::Unorm8:
      shuffleRowOf<uint8_t>(n, source, step, width, from_, fill8, scanline,
                            [](uint8_t v) { return v; });
      break;
    case Kind::Snorm8: {
      const uint16_t* table = snorm8Table().data();
      shuffleRowOf<uint8_t>(n, source, step, width, from_, fill8, scanline,
                            [table](uint8_t v) { return static_cast<uint8_t>(table[v]); });
      break;
    }
    case Kind::Unorm16:
      shuffleRowOf<uint16_t>(n, source, step, width, from_, fill16, scanline,
                             [](uint16_t v) { return v; });
      break;
    case Kind::Snorm16: {
      const uint16_t* table = snorm16Table().data();
      shuffleRowOf<uint16_t>(n, source, step, width, from_, fill16, scanline,
                             [table](uint16_t v) { return table[v]; });
      break;
    }
    case Kind::Half: {
      const float* table = halfTable().data();
      shuffleRowOf<uint16_t>(n, source, step, width, from_, fillFloat, scanline,
                             [table](uint16_t v) { return table[v]; });
      break;
    }
    case Kind::Float32:
      shuffleRowOf<float>(n, source, step, width, from_, fillFloat, scanline,
                          [](float v) { return v; });
      break;
    case Kind::Lookup:
      lookupRowOf(outputBytesPerPixel(layout_.output), step, lookup_->data(), source, width,
                  scanline);
      break;
  }
}
