#include "support/dds_builder.h"

#include <algorithm>
#include <bit>
#include <fstream>
#include <vector>

namespace {

void putWord(std::string& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void putShort(std::string& out, uint16_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>(value >> 8));
}

// Spreads an 8-bit value over a mask: rounded to the mask's width, shifted in.
uint32_t packChannel(uint8_t value, uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const int width = std::popcount(mask);
  const uint32_t top = (width >= 32) ? 0xFFFFFFFFu : ((1u << width) - 1);
  const uint32_t scaled = static_cast<uint32_t>((static_cast<uint64_t>(value) * top + 127) / 255);
  return (scaled << shift) & mask;
}

// Widens an n-bit value to 8 bits by repeating its bits.
uint8_t widen(uint32_t value, int width) {
  if (width >= 8) return static_cast<uint8_t>(value >> (width - 8));
  uint32_t result = 0;
  int filled = 0;
  while (filled < 8) {
    result = (result << width) | value;
    filled += width;
  }
  return static_cast<uint8_t>(result >> (filled - 8));
}

uint8_t roundTripChannel(uint8_t value, uint32_t mask) {
  const uint32_t packed = packChannel(value, mask);
  return widen(packed >> std::countr_zero(mask), std::popcount(mask));
}

uint16_t pack565(const Rgba& c) {
  return static_cast<uint16_t>(packChannel(c.r, 0xF800) | packChannel(c.g, 0x7E0) |
                               packChannel(c.b, 0x1F));
}

std::string surfaceHeader(int width, int height, uint32_t flags, uint32_t pitchOrLinear,
                          int mipCount, const std::string& pixelFormat) {
  std::string out = "DDS ";
  putWord(out, 124);
  putWord(out, flags);
  putWord(out, static_cast<uint32_t>(height));
  putWord(out, static_cast<uint32_t>(width));
  putWord(out, pitchOrLinear);
  putWord(out, 0);  // depth
  putWord(out, static_cast<uint32_t>(mipCount > 1 ? mipCount : 0));
  for (int i = 0; i < 11; ++i) putWord(out, 0);
  out += pixelFormat;
  const uint32_t capsTexture = 0x1000, capsComplex = 0x8, capsMipmap = 0x400000;
  putWord(out, capsTexture | (mipCount > 1 ? capsComplex | capsMipmap : 0));
  for (int i = 0; i < 4; ++i) putWord(out, 0);
  return out;
}

constexpr uint32_t kFlagsRequired = 0x1 | 0x2 | 0x4 | 0x1000;  // caps, height, width, format
constexpr uint32_t kFlagPitch = 0x8;
constexpr uint32_t kFlagMipMapCount = 0x20000;
constexpr uint32_t kFlagLinearSize = 0x80000;

int levelSize(int size, int level) { return std::max(1, size >> level); }

// The colour of level pixel (x, y), taken from the top-level pixel it covers.
Rgba levelPixel(const PixelFunction& pixel, int width, int height, int levelWidth,
                int levelHeight, int x, int y) {
  return pixel(x * width / levelWidth, y * height / levelHeight);
}

void appendBlock(std::string& out, BlockFormat format, const Rgba& colour) {
  if (format == BlockFormat::Dxt3) {
    const uint64_t alpha4 = (colour.a + 8u) / 17u;
    uint64_t bits = 0;
    for (int i = 0; i < 16; ++i) bits |= alpha4 << (4 * i);
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
  } else if (format == BlockFormat::Dxt5) {
    // Both end points equal and every index 0: the alpha is exact.
    out.push_back(static_cast<char>(colour.a));
    out.push_back(static_cast<char>(colour.a));
    for (int i = 0; i < 6; ++i) out.push_back(0);
  }
  const uint16_t c = pack565(colour);
  if (format == BlockFormat::Dxt1 && colour.a < 128) {
    // Three-colour mode (colour0 <= colour1), every index 3: transparent black.
    putShort(out, 0);
    putShort(out, 0);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(0xFF));
    return;
  }
  // Every index 0: colour0 exactly.
  putShort(out, c);
  putShort(out, c);
  for (int i = 0; i < 4; ++i) out.push_back(0);
}

}  // namespace

int fullMipmapCount(int width, int height) {
  int count = 1;
  while (width > 1 || height > 1) {
    width = std::max(1, width / 2);
    height = std::max(1, height / 2);
    ++count;
  }
  return count;
}

std::string buildUncompressedDds(int width, int height, int bitCount, const ChannelMasks& masks,
                                 const PixelFunction& pixel, const DdsBuildOptions& options) {
  const int bytesPerPixel = bitCount / 8;
  const uint32_t rowBytes = static_cast<uint32_t>(width * bytesPerPixel);
  const uint32_t pitch = rowBytes + options.rowPadding;
  const int levels = options.mipmaps ? fullMipmapCount(width, height) : 1;

  std::string pixelFormat;
  putWord(pixelFormat, 32);
  putWord(pixelFormat, 0x40 | (masks.a ? 0x1u : 0u));  // RGB, alpha pixels
  putWord(pixelFormat, 0);
  putWord(pixelFormat, static_cast<uint32_t>(bitCount));
  putWord(pixelFormat, masks.r);
  putWord(pixelFormat, masks.g);
  putWord(pixelFormat, masks.b);
  putWord(pixelFormat, masks.a);

  uint32_t flags = kFlagsRequired | (options.pitchFlag ? kFlagPitch : 0);
  if (levels > 1) flags |= kFlagMipMapCount;
  std::string out = surfaceHeader(width, height, flags, options.pitchFlag ? pitch : 0, levels,
                                  pixelFormat);
  for (int level = 0; level < levels; ++level) {
    const int lw = levelSize(width, level), lh = levelSize(height, level);
    // Only the top level carries the padding the pitch announces.
    const uint32_t padding = level == 0 ? options.rowPadding : 0;
    for (int y = 0; y < lh; ++y) {
      for (int x = 0; x < lw; ++x) {
        const Rgba c = levelPixel(pixel, width, height, lw, lh, x, y);
        const uint32_t value = packChannel(c.r, masks.r) | packChannel(c.g, masks.g) |
                               packChannel(c.b, masks.b) | packChannel(c.a, masks.a);
        for (int i = 0; i < bytesPerPixel; ++i) {
          out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
        }
      }
      out.append(padding, '\0');
    }
  }
  return out;
}

std::string buildBlockDds(BlockFormat format, int width, int height, const PixelFunction& pixel,
                          const DdsBuildOptions& options) {
  const uint32_t blockBytes = format == BlockFormat::Dxt1 ? 8 : 16;
  const char* fourCc = format == BlockFormat::Dxt1 ? "DXT1"
                       : format == BlockFormat::Dxt3 ? "DXT3"
                                                     : "DXT5";
  const int levels = options.mipmaps ? fullMipmapCount(width, height) : 1;
  const uint32_t linearSize =
      static_cast<uint32_t>((width + 3) / 4) * static_cast<uint32_t>((height + 3) / 4) * blockBytes;

  std::string pixelFormat;
  putWord(pixelFormat, 32);
  putWord(pixelFormat, 0x4);  // FourCC
  pixelFormat += fourCc;
  for (int i = 0; i < 5; ++i) putWord(pixelFormat, 0);

  uint32_t flags = kFlagsRequired | kFlagLinearSize | (levels > 1 ? kFlagMipMapCount : 0);
  std::string out = surfaceHeader(width, height, flags, linearSize, levels, pixelFormat);
  for (int level = 0; level < levels; ++level) {
    const int lw = levelSize(width, level), lh = levelSize(height, level);
    for (int by = 0; by < (lh + 3) / 4; ++by) {
      for (int bx = 0; bx < (lw + 3) / 4; ++bx) {
        appendBlock(out, format, levelPixel(pixel, width, height, lw, lh, bx * 4, by * 4));
      }
    }
  }
  return out;
}

Rgba expectedUncompressedColour(const Rgba& colour, const ChannelMasks& masks) {
  Rgba result;
  result.r = roundTripChannel(colour.r, masks.r);
  result.g = roundTripChannel(colour.g, masks.g);
  result.b = roundTripChannel(colour.b, masks.b);
  result.a = masks.a ? roundTripChannel(colour.a, masks.a) : 255;
  return result;
}

Rgba expectedBlockColour(BlockFormat format, const Rgba& colour) {
  if (format == BlockFormat::Dxt1 && colour.a < 128) return Rgba{0, 0, 0, 0};
  Rgba result;
  result.r = roundTripChannel(colour.r, 0xF800);
  result.g = roundTripChannel(colour.g, 0x7E0);
  result.b = roundTripChannel(colour.b, 0x1F);
  result.a = format == BlockFormat::Dxt1   ? 255
             : format == BlockFormat::Dxt3 ? static_cast<uint8_t>((colour.a + 8u) / 17u * 17u)
                                           : colour.a;
  return result;
}

bool writeBinaryFile(const std::string& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  return static_cast<bool>(out);
}

namespace {

void appendSurface(std::string& out, bool dx10, int width, int height,
                   const std::function<Rgba(int x, int y)>& pixel) {
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgba c = pixel(x, y);
      const uint8_t bytes[4] = {dx10 ? c.r : c.b, c.g, dx10 ? c.b : c.r, c.a};
      out.append(reinterpret_cast<const char*>(bytes), 4);
    }
  }
}

}  // namespace

std::string buildSurfaceDds(const SurfaceTexture& t, const SurfacePixelFunction& pixel) {
  const bool volume = t.depth > 0;
  std::string out = "DDS ";
  putWord(out, 124);
  uint32_t flags = kFlagsRequired | kFlagPitch | (t.mips > 1 ? kFlagMipMapCount : 0);
  if (volume) flags |= 0x800000;  // depth
  putWord(out, flags);
  putWord(out, static_cast<uint32_t>(t.height));
  putWord(out, static_cast<uint32_t>(t.width));
  putWord(out, static_cast<uint32_t>(t.width * 4));
  putWord(out, static_cast<uint32_t>(t.depth));
  putWord(out, static_cast<uint32_t>(t.mips));
  for (int i = 0; i < 11; ++i) putWord(out, 0);
  putWord(out, 32);
  if (t.dx10) {
    putWord(out, 0x4);
    out += "DX10";
    for (int i = 0; i < 5; ++i) putWord(out, 0);
  } else {
    putWord(out, 0x41);  // RGB, alpha pixels
    putWord(out, 0);
    putWord(out, 32);
    for (uint32_t mask : {kMasksA8R8G8B8.r, kMasksA8R8G8B8.g, kMasksA8R8G8B8.b, kMasksA8R8G8B8.a}) {
      putWord(out, mask);
    }
  }
  putWord(out, 0x1000 | 0x8 | (t.mips > 1 ? 0x400000u : 0u));
  uint32_t caps2 = 0;
  if (t.cubeFaces && !t.dx10) caps2 = 0x200 | (t.cubeFaces << 10);
  if (volume && !t.dx10) caps2 |= 0x200000;
  putWord(out, caps2);
  for (int i = 0; i < 3; ++i) putWord(out, 0);
  if (t.dx10) {
    putWord(out, 28);                  // R8G8B8A8_UNORM
    putWord(out, volume ? 4u : 3u);    // 3D or 2D texture
    putWord(out, t.cubeFaces ? 0x4u : 0u);
    putWord(out, static_cast<uint32_t>(t.arraySize));
    putWord(out, 0);
  }
  if (volume) {
    for (int mip = 0; mip < t.mips; ++mip) {
      for (int slice = 0; slice < std::max(1, t.depth >> mip); ++slice) {
        appendSurface(out, t.dx10, levelSize(t.width, mip), levelSize(t.height, mip),
                      [&](int x, int y) { return pixel(mip, -1, slice, x, y); });
      }
    }
    return out;
  }
  for (int layer = 0; layer < t.arraySize; ++layer) {
    for (int face = t.cubeFaces ? 0 : -1; face < (t.cubeFaces ? 6 : 0); ++face) {
      if (face >= 0 && !(t.cubeFaces & (1u << face))) continue;
      for (int mip = 0; mip < t.mips; ++mip) {
        appendSurface(out, t.dx10, levelSize(t.width, mip), levelSize(t.height, mip),
                      [&](int x, int y) { return pixel(mip, face, layer, x, y); });
      }
    }
  }
  return out;
}
