#include "formats/dds/dds_format.h"

#include <algorithm>
#include <bit>

namespace {

// Pixel-format flags.
constexpr uint32_t kAlphaPixels = 0x1;
constexpr uint32_t kAlphaOnly = 0x2;
constexpr uint32_t kFourCcFlag = 0x4;
constexpr uint32_t kPaletteIndexed8 = 0x20;
constexpr uint32_t kRgb = 0x40;
constexpr uint32_t kLuminance = 0x20000;
constexpr uint32_t kBumpDuDv = 0x80000;

constexpr ChannelEncoding U = ChannelEncoding::Unorm;
constexpr ChannelEncoding S = ChannelEncoding::Snorm;
constexpr ChannelEncoding F = ChannelEncoding::Float;
constexpr ChannelEncoding UF = ChannelEncoding::UnsignedFloat;
constexpr Channel kNone{};

constexpr Channel ch(int offset, int bits, ChannelEncoding encoding) {
  return Channel{static_cast<uint8_t>(offset), static_cast<uint8_t>(bits), encoding};
}

DdsFormat block(DdsEncoding encoding, bool premultiplied = false) {
  DdsFormat format;
  format.encoding = encoding;
  format.premultiplied = premultiplied;
  return format;
}

DdsFormat pixels(uint32_t bytes, Channel r, Channel g, Channel b, Channel a, PixelOutput output,
                 bool grey = false) {
  DdsFormat format;
  format.encoding = DdsEncoding::Uncompressed;
  format.layout.bytesPerPixel = bytes;
  format.layout.red = r;
  format.layout.green = g;
  format.layout.blue = b;
  format.layout.alpha = a;
  format.layout.output = output;
  format.layout.grey = grey;
  return format;
}

DdsFormat data(DdsFormat format) {
  format.dataChannels = true;
  return format;
}

// Four channels of `bits` each in the order red, green, blue, alpha.
DdsFormat rgba(int bits, ChannelEncoding e, PixelOutput output) {
  return pixels(static_cast<uint32_t>(bits / 2), ch(0, bits, e), ch(bits, bits, e),
                ch(2 * bits, bits, e), ch(3 * bits, bits, e), output);
}

// A channel described by a mask; false when the mask is not one run of bits
// or lies wholly outside the pixel. Bits above the pixel are dropped: some
// writers give an 8-bit luminance file a 16- or 32-bit mask.
bool channelFromMask(uint32_t mask, uint32_t bitCount, ChannelEncoding encoding, Channel* channel) {
  *channel = kNone;
  if (mask == 0) return true;
  if (bitCount < 32) mask &= (1u << bitCount) - 1;
  if (mask == 0) return false;
  const int offset = std::countr_zero(mask);
  const int bits = std::popcount(mask);
  if ((mask >> offset) != (bits == 32 ? 0xFFFFFFFFu : (1u << bits) - 1)) return false;
  if (static_cast<uint32_t>(offset + bits) > bitCount) return false;
  if (encoding == ChannelEncoding::Snorm && bits < 2) return false;
  *channel = ch(offset, bits, encoding);
  return true;
}

// Uncompressed legacy layouts given by bit count and masks.
DdsFormat maskedFormat(const LegacyPixelFormat& pf) {
  const uint32_t bitCount = pf.bitCount;
  if (bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32) return {};
  const bool luminance = (pf.flags & kLuminance) != 0;
  const bool alphaOnly = (pf.flags & (kRgb | kLuminance | kBumpDuDv)) == 0 && (pf.flags & kAlphaOnly);
  const bool bump = (pf.flags & kBumpDuDv) != 0;
  if (!luminance && !alphaOnly && !bump && !(pf.flags & kRgb)) return {};

  const ChannelEncoding encoding = bump ? S : U;
  Channel r, g, b, a;
  const bool hasAlpha = alphaOnly || (pf.flags & kAlphaPixels) || bump;
  if (!channelFromMask(alphaOnly ? 0 : pf.redMask, bitCount, encoding, &r) ||
      !channelFromMask(alphaOnly || luminance ? 0 : pf.greenMask, bitCount, encoding, &g) ||
      !channelFromMask(alphaOnly || luminance ? 0 : pf.blueMask, bitCount, encoding, &b) ||
      !channelFromMask(hasAlpha ? pf.alphaMask : 0, bitCount, encoding, &a)) {
    return {};
  }
  if (r.bits == 0 && g.bits == 0 && b.bits == 0 && a.bits == 0) return {};
  if (alphaOnly && a.bits == 0) return {};

  const int widest = std::max({r.bits, g.bits, b.bits, a.bits});
  const bool wide = widest > 10;
  const bool alpha = a.bits > 0;
  PixelOutput output;
  if (luminance && !alpha) {
    output = wide ? PixelOutput::Rgb16 : PixelOutput::Grey8;
  } else if (alpha) {
    output = wide ? PixelOutput::Rgba16 : PixelOutput::Rgba8;
  } else {
    output = wide ? PixelOutput::Rgb16 : PixelOutput::Rgb8;
  }
  return pixels(bitCount / 8, r, g, b, a, output, luminance);
}

// 8-bit indices into a palette; its alpha counts only with the alpha flag.
DdsFormat palettedFormat(const LegacyPixelFormat& pf) {
  if (pf.bitCount != 8 && pf.bitCount != 0) return {};
  const bool alpha = (pf.flags & kAlphaPixels) != 0;
  DdsFormat format = pixels(1, kNone, kNone, kNone, kNone, alpha ? PixelOutput::Rgba8 : PixelOutput::Rgb8);
  format.paletted = true;
  return format;
}

}  // namespace

DdsFormat identifyLegacyFormat(const LegacyPixelFormat& pf) {
  if (!(pf.flags & kFourCcFlag) && (pf.flags & kPaletteIndexed8)) return palettedFormat(pf);
  if (!(pf.flags & kFourCcFlag)) return maskedFormat(pf);
  switch (pf.fourCc) {
    case makeFourCc('D', 'X', 'T', '1'): return block(DdsEncoding::Bc1);
    case makeFourCc('D', 'X', 'T', '2'): return block(DdsEncoding::Bc2, true);
    case makeFourCc('D', 'X', 'T', '3'): return block(DdsEncoding::Bc2);
    case makeFourCc('D', 'X', 'T', '4'): return block(DdsEncoding::Bc3, true);
    case makeFourCc('D', 'X', 'T', '5'): return block(DdsEncoding::Bc3);
    case makeFourCc('A', 'T', 'I', '1'):
    case makeFourCc('B', 'C', '4', 'U'): return block(DdsEncoding::Bc4);
    case makeFourCc('B', 'C', '4', 'S'): return block(DdsEncoding::Bc4Signed);
    case makeFourCc('A', 'T', 'I', '2'):
    case makeFourCc('B', 'C', '5', 'U'): return block(DdsEncoding::Bc5);
    case makeFourCc('B', 'C', '5', 'S'): return block(DdsEncoding::Bc5Signed);
    // Direct3D 9 format numbers stored in the FourCC field.
    case 36: return rgba(16, U, PixelOutput::Rgba16);   // A16B16G16R16
    case 110: return rgba(16, S, PixelOutput::Rgba16);  // Q16W16V16U16
    case 111: return pixels(2, ch(0, 16, F), kNone, kNone, kNone, PixelOutput::RgbF, true);  // R16F
    case 112: return pixels(4, ch(0, 16, F), ch(16, 16, F), kNone, kNone, PixelOutput::RgbF);  // G16R16F
    case 113: return rgba(16, F, PixelOutput::RgbaF);  // A16B16G16R16F
    case 114: return pixels(4, ch(0, 32, F), kNone, kNone, kNone, PixelOutput::RgbF, true);  // R32F
    case 115: return pixels(8, ch(0, 32, F), ch(32, 32, F), kNone, kNone, PixelOutput::RgbF);  // G32R32F
    case 116: return rgba(32, F, PixelOutput::RgbaF);  // A32B32G32R32F
    default: return {};
  }
}

DdsFormat identifyDxgiFormat(uint32_t dxgiFormat) {
  using O = PixelOutput;
  switch (dxgiFormat) {
    case 2: return rgba(32, F, O::RgbaF);  // R32G32B32A32_FLOAT
    case 6: return pixels(12, ch(0, 32, F), ch(32, 32, F), ch(64, 32, F), kNone, O::RgbF);
    case 10: return rgba(16, F, O::RgbaF);   // R16G16B16A16_FLOAT
    case 11: return rgba(16, U, O::Rgba16);  // R16G16B16A16_UNORM
    case 13: return rgba(16, S, O::Rgba16);  // R16G16B16A16_SNORM
    case 16: return pixels(8, ch(0, 32, F), ch(32, 32, F), kNone, kNone, O::RgbF);  // R32G32_FLOAT
    case 24: return pixels(4, ch(0, 10, U), ch(10, 10, U), ch(20, 10, U), ch(30, 2, U), O::Rgba8);
    case 26: return pixels(4, ch(0, 11, UF), ch(11, 11, UF), ch(22, 10, UF), kNone, O::RgbF);
    case 27: case 28: case 29:  // R8G8B8A8 typeless, UNORM, UNORM_SRGB
      return rgba(8, U, O::Rgba8);
    case 31: return rgba(8, S, O::Rgba8);  // R8G8B8A8_SNORM
    case 34: return pixels(4, ch(0, 16, F), ch(16, 16, F), kNone, kNone, O::RgbF);  // R16G16_FLOAT
    case 35: return pixels(4, ch(0, 16, U), ch(16, 16, U), kNone, kNone, O::Rgb16);  // R16G16_UNORM
    case 37: return pixels(4, ch(0, 16, S), ch(16, 16, S), kNone, kNone, O::Rgb16);  // R16G16_SNORM
    case 41: return pixels(4, ch(0, 32, F), kNone, kNone, kNone, O::RgbF, true);  // R32_FLOAT
    case 49: return pixels(2, ch(0, 8, U), ch(8, 8, U), kNone, kNone, O::Rgb8);  // R8G8_UNORM
    case 51: return pixels(2, ch(0, 8, S), ch(8, 8, S), kNone, kNone, O::Rgb8);  // R8G8_SNORM
    case 54: return pixels(2, ch(0, 16, F), kNone, kNone, kNone, O::RgbF, true);  // R16_FLOAT
    case 56: return pixels(2, ch(0, 16, U), kNone, kNone, kNone, O::Rgb16, true);  // R16_UNORM
    case 58: return pixels(2, ch(0, 16, S), kNone, kNone, kNone, O::Rgb16, true);  // R16_SNORM
    case 61: return data(pixels(1, ch(0, 8, U), kNone, kNone, kNone, O::Grey8, true));  // R8_UNORM
    case 63: return data(pixels(1, ch(0, 8, S), kNone, kNone, kNone, O::Grey8, true));  // R8_SNORM
    case 65: return pixels(1, kNone, kNone, kNone, ch(0, 8, U), O::Rgba8);  // A8_UNORM
    case 67: {  // R9G9B9E5_SHAREDEXP
      DdsFormat format = pixels(4, ch(0, 9, U), ch(9, 9, U), ch(18, 9, U), kNone, O::RgbF);
      format.layout.sharedExponent = true;
      return format;
    }
    case 70: case 71: case 72: return block(DdsEncoding::Bc1);
    case 73: case 74: case 75: return block(DdsEncoding::Bc2);
    case 76: case 77: case 78: return block(DdsEncoding::Bc3);
    case 79: case 80: return block(DdsEncoding::Bc4);
    case 81: return block(DdsEncoding::Bc4Signed);
    case 82: case 83: return block(DdsEncoding::Bc5);
    case 84: return block(DdsEncoding::Bc5Signed);
    case 85: return pixels(2, ch(11, 5, U), ch(5, 6, U), ch(0, 5, U), kNone, O::Rgb8);  // B5G6R5
    case 86: return pixels(2, ch(10, 5, U), ch(5, 5, U), ch(0, 5, U), ch(15, 1, U), O::Rgba8);
    case 87: case 90: case 91:  // B8G8R8A8 UNORM, typeless, UNORM_SRGB
      return pixels(4, ch(16, 8, U), ch(8, 8, U), ch(0, 8, U), ch(24, 8, U), O::Rgba8);
    case 88: case 92: case 93:  // B8G8R8X8 UNORM, typeless, UNORM_SRGB
      return pixels(4, ch(16, 8, U), ch(8, 8, U), ch(0, 8, U), kNone, O::Rgb8);
    case 94: case 95: return block(DdsEncoding::Bc6h);
    case 96: return block(DdsEncoding::Bc6hSigned);
    case 97: case 98: case 99: return block(DdsEncoding::Bc7);
    case 115: return pixels(2, ch(8, 4, U), ch(4, 4, U), ch(0, 4, U), ch(12, 4, U), O::Rgba8);
    default: return {};
  }
}

uint32_t ddsBlockBytes(DdsEncoding encoding) {
  switch (encoding) {
    case DdsEncoding::Bc1:
    case DdsEncoding::Bc4:
    case DdsEncoding::Bc4Signed:
      return 8;
    case DdsEncoding::Bc2:
    case DdsEncoding::Bc3:
    case DdsEncoding::Bc5:
    case DdsEncoding::Bc5Signed:
    case DdsEncoding::Bc6h:
    case DdsEncoding::Bc6hSigned:
    case DdsEncoding::Bc7:
      return 16;
    case DdsEncoding::Unsupported:
    case DdsEncoding::Uncompressed:
      break;
  }
  return 0;
}

uint64_t ddsImageBytes(const DdsFormat& format, uint32_t width, uint32_t height) {
  if (format.encoding == DdsEncoding::Unsupported) return 0;
  if (format.encoding == DdsEncoding::Uncompressed) {
    return uint64_t{width} * height * format.layout.bytesPerPixel;
  }
  const uint64_t blocksWide = (uint64_t{width} + 3) / 4;
  const uint64_t blocksHigh = (uint64_t{height} + 3) / 4;
  return blocksWide * blocksHigh * ddsBlockBytes(format.encoding);
}

PixelOutput ddsOutput(const DdsFormat& format) {
  switch (format.encoding) {
    case DdsEncoding::Bc4:
    case DdsEncoding::Bc4Signed:
      return PixelOutput::Grey8;
    case DdsEncoding::Bc5:
    case DdsEncoding::Bc5Signed:
      return PixelOutput::Rgb8;
    case DdsEncoding::Bc6h:
    case DdsEncoding::Bc6hSigned:
      return PixelOutput::RgbF;
    case DdsEncoding::Uncompressed:
      return format.layout.output;
    default:
      return PixelOutput::Rgba8;
  }
}

uint64_t ddsDecodedBytes(const DdsFormat& format, uint32_t width, uint32_t height) {
  return uint64_t{width} * height * outputBytesPerPixel(ddsOutput(format));
}
