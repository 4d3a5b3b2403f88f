#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Writes DDS files with exactly known pixels for tests. It shares no code with
// the program's own DDS reading, so a fault there cannot hide itself here.

struct Rgba {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  uint8_t a = 255;
  bool operator==(const Rgba&) const = default;
};

// Colour of the pixel at (x, y), top-left origin, in top-level coordinates.
using PixelFunction = std::function<Rgba(int x, int y)>;

// Channel masks of an uncompressed layout; a zero alpha mask means no alpha.
struct ChannelMasks {
  uint32_t r = 0;
  uint32_t g = 0;
  uint32_t b = 0;
  uint32_t a = 0;
};
inline constexpr ChannelMasks kMasksR8G8B8{0xFF0000, 0xFF00, 0xFF, 0};  // 24-bit, bytes B G R
inline constexpr ChannelMasks kMasksA8R8G8B8{0xFF0000, 0xFF00, 0xFF, 0xFF000000};
inline constexpr ChannelMasks kMasksX8R8G8B8{0xFF0000, 0xFF00, 0xFF, 0};
inline constexpr ChannelMasks kMasksA8B8G8R8{0xFF, 0xFF00, 0xFF0000, 0xFF000000};
inline constexpr ChannelMasks kMasksR5G6B5{0xF800, 0x7E0, 0x1F, 0};
inline constexpr ChannelMasks kMasksA1R5G5B5{0x7C00, 0x3E0, 0x1F, 0x8000};
inline constexpr ChannelMasks kMasksA4R4G4B4{0xF00, 0xF0, 0xF, 0xF000};

enum class BlockFormat { Dxt1, Dxt3, Dxt5 };

struct DdsBuildOptions {
  bool mipmaps = false;     // add every smaller level down to 1x1
  bool pitchFlag = true;    // uncompressed: set the pitch flag and the row pitch
  uint32_t rowPadding = 0;  // uncompressed: extra bytes after each row (pitch grows)
};

// An uncompressed DDS (8, 16, 24 or 32 bits per pixel) with the given masks.
// The alpha-pixels flag is set when masks.a is not zero.
std::string buildUncompressedDds(int width, int height, int bitCount, const ChannelMasks& masks,
                                 const PixelFunction& pixel, const DdsBuildOptions& options = {});

// A block-compressed DDS whose every 4x4 block is one solid colour: the colour
// of the block's top-left pixel. Use expectedBlockColour for what a correct
// decoder gives back.
std::string buildBlockDds(BlockFormat format, int width, int height, const PixelFunction& pixel,
                          const DdsBuildOptions& options = {});

// The colour a correct decoder returns for colour stored with these masks:
// each channel cut to its mask's width and widened again by bit replication.
// A missing alpha channel reads as 255.
Rgba expectedUncompressedColour(const Rgba& colour, const ChannelMasks& masks);

// The colour a correct decoder returns for a solid block of colour: 5-6-5
// colour; DXT1 alpha below 128 is transparent black, DXT3 keeps 4 bits of
// alpha, DXT5 alpha is exact.
Rgba expectedBlockColour(BlockFormat format, const Rgba& colour);

// Number of mipmap levels of a full chain (1x1 is the last).
int fullMipmapCount(int width, int height);

bool writeBinaryFile(const std::string& path, const std::string& data);

// A texture of several surfaces, 32 bits per pixel: legacy A8R8G8B8, or with
// the DX10 extension R8G8B8A8_UNORM.
struct SurfaceTexture {
  int width = 4;
  int height = 4;
  int mips = 1;
  uint32_t cubeFaces = 0;  // bit i: face i (+X, -X, +Y, -Y, +Z, -Z) is stored; 0: no cube map
  int arraySize = 1;       // DX10 only (cubes count as one element each)
  int depth = 0;           // volume depth slices of the top level; 0: no volume
  bool dx10 = false;       // a DX10 cube map holds all six faces
};

// Colour of pixel (x, y) of one surface; layer is the array element or the
// volume depth slice.
using SurfacePixelFunction = std::function<Rgba(int mip, int face, int layer, int x, int y)>;

// Surfaces in the order every writer uses: per array element, per face
// present, the whole mip chain; a volume stores each level as its slices.
std::string buildSurfaceDds(const SurfaceTexture& texture, const SurfacePixelFunction& pixel);
