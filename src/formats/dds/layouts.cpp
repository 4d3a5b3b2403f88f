#include "formats/dds/layouts.h"

#include <FreeImage.h>

#include <cstring>

#include "formats/dds/small_floats.h"

namespace {

uint64_t readBits(const uint8_t* pixel, const Channel& channel) {
  const uint32_t firstByte = channel.offset / 8u;
  const uint32_t lastByte = (channel.offset + channel.bits - 1u) / 8u;
  uint64_t window = 0;
  for (uint32_t b = firstByte; b <= lastByte; ++b) {
    window |= static_cast<uint64_t>(pixel[b]) << (8 * (b - firstByte));
  }
  window >>= channel.offset % 8u;
  return window & ((uint64_t{1} << channel.bits) - 1);
}

// Signed value of a two's complement field, with the most negative code
// counted as the next one up (both stand for -1).
int64_t signedValue(uint64_t raw, int bits) {
  const int64_t half = int64_t{1} << (bits - 1);
  int64_t value = static_cast<int64_t>(raw);
  if (value >= half) value -= 2 * half;
  return value < -(half - 1) ? -(half - 1) : value;
}

// round(top * fraction) of a normalized field; top is 255 or 65535.
uint32_t toInteger(uint64_t raw, const Channel& channel, uint64_t top) {
  if (channel.encoding == ChannelEncoding::Snorm) {
    const int64_t limit = (int64_t{1} << (channel.bits - 1)) - 1;
    const uint64_t shifted = static_cast<uint64_t>(signedValue(raw, channel.bits) + limit);
    return static_cast<uint32_t>((top * shifted * 2 + 2 * limit) / (4 * limit));
  }
  const uint64_t maximum = (uint64_t{1} << channel.bits) - 1;
  return static_cast<uint32_t>((top * raw * 2 + maximum) / (2 * maximum));
}

float toFloat(uint64_t raw, const Channel& channel) {
  switch (channel.encoding) {
    case ChannelEncoding::Unorm:
      return static_cast<float>(static_cast<double>(raw) /
                                static_cast<double>((uint64_t{1} << channel.bits) - 1));
    case ChannelEncoding::Snorm: {
      const int64_t limit = (int64_t{1} << (channel.bits - 1)) - 1;
      return static_cast<float>(static_cast<double>(signedValue(raw, channel.bits)) /
                                static_cast<double>(limit));
    }
    case ChannelEncoding::Float:
      if (channel.bits == 16) return halfToFloat(static_cast<uint16_t>(raw));
      {
        const uint32_t word = static_cast<uint32_t>(raw);
        float value;
        std::memcpy(&value, &word, sizeof value);
        return value;
      }
    case ChannelEncoding::UnsignedFloat:
      return unsignedSmallFloatToFloat(static_cast<uint32_t>(raw), channel.bits - 5);
    case ChannelEncoding::Absent:
      break;
  }
  return 0.0f;
}

// One pixel's four channels as values of the output's channel type.
struct Decoded {
  uint32_t integer[4];
  float real[4];
};

void decodePixel(const PixelLayout& layout, const uint8_t* pixel, bool wantFloat, uint64_t top,
                 Decoded* out) {
  const Channel* channels[4] = {&layout.red, &layout.green, &layout.blue, &layout.alpha};
  if (layout.sharedExponent) {
    const Channel exponentField{27, 5, ChannelEncoding::Unorm};
    const uint32_t exponent = static_cast<uint32_t>(readBits(pixel, exponentField));
    for (int c = 0; c < 3; ++c) {
      out->real[c] = sharedExponentToFloat(static_cast<uint32_t>(readBits(pixel, *channels[c])), exponent);
    }
    out->real[3] = 1.0f;
    return;
  }
  for (int c = 0; c < 4; ++c) {
    const Channel& channel = *channels[c];
    if (channel.encoding == ChannelEncoding::Absent) {
      out->integer[c] = c == 3 ? static_cast<uint32_t>(top) : 0;
      out->real[c] = c == 3 ? 1.0f : 0.0f;
      continue;
    }
    const uint64_t raw = readBits(pixel, channel);
    if (wantFloat) {
      out->real[c] = toFloat(raw, channel);
    } else {
      out->integer[c] = toInteger(raw, channel, top);
    }
  }
  if (layout.grey) {
    out->integer[1] = out->integer[2] = out->integer[0];
    out->real[1] = out->real[2] = out->real[0];
  }
}

}  // namespace

uint32_t outputBytesPerPixel(PixelOutput output) {
  switch (output) {
    case PixelOutput::Grey8: return 1;
    case PixelOutput::Rgb8: return 3;
    case PixelOutput::Rgba8: return 4;
    case PixelOutput::Rgb16: return 6;
    case PixelOutput::Rgba16: return 8;
    case PixelOutput::RgbF: return 12;
    case PixelOutput::RgbaF: return 16;
  }
  return 4;
}

bool outputHasAlpha(PixelOutput output) {
  return output == PixelOutput::Rgba8 || output == PixelOutput::Rgba16 ||
         output == PixelOutput::RgbaF;
}

void decodeLayoutRow(const PixelLayout& layout, const uint8_t* source, uint32_t width,
                     uint8_t* scanline) {
  const bool wantFloat = layout.output == PixelOutput::RgbF || layout.output == PixelOutput::RgbaF;
  const bool wide = layout.output == PixelOutput::Rgb16 || layout.output == PixelOutput::Rgba16;
  const uint64_t top = wide ? 65535 : 255;
  Decoded d{};
  for (uint32_t x = 0; x < width; ++x, source += layout.bytesPerPixel) {
    decodePixel(layout, source, wantFloat, top, &d);
    switch (layout.output) {
      case PixelOutput::Grey8:
        scanline[x] = static_cast<uint8_t>(d.integer[0]);
        break;
      case PixelOutput::Rgb8:
      case PixelOutput::Rgba8: {
        const uint32_t step = layout.output == PixelOutput::Rgb8 ? 3 : 4;
        uint8_t* p = scanline + x * step;
        p[FI_RGBA_RED] = static_cast<uint8_t>(d.integer[0]);
        p[FI_RGBA_GREEN] = static_cast<uint8_t>(d.integer[1]);
        p[FI_RGBA_BLUE] = static_cast<uint8_t>(d.integer[2]);
        if (step == 4) p[FI_RGBA_ALPHA] = static_cast<uint8_t>(d.integer[3]);
        break;
      }
      case PixelOutput::Rgb16: {
        FIRGB16* p = reinterpret_cast<FIRGB16*>(scanline) + x;
        p->red = static_cast<WORD>(d.integer[0]);
        p->green = static_cast<WORD>(d.integer[1]);
        p->blue = static_cast<WORD>(d.integer[2]);
        break;
      }
      case PixelOutput::Rgba16: {
        FIRGBA16* p = reinterpret_cast<FIRGBA16*>(scanline) + x;
        p->red = static_cast<WORD>(d.integer[0]);
        p->green = static_cast<WORD>(d.integer[1]);
        p->blue = static_cast<WORD>(d.integer[2]);
        p->alpha = static_cast<WORD>(d.integer[3]);
        break;
      }
      case PixelOutput::RgbF: {
        FIRGBF* p = reinterpret_cast<FIRGBF*>(scanline) + x;
        p->red = d.real[0];
        p->green = d.real[1];
        p->blue = d.real[2];
        break;
      }
      case PixelOutput::RgbaF: {
        FIRGBAF* p = reinterpret_cast<FIRGBAF*>(scanline) + x;
        p->red = d.real[0];
        p->green = d.real[1];
        p->blue = d.real[2];
        p->alpha = d.real[3];
        break;
      }
    }
  }
}
