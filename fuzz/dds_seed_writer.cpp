// Writes the fuzzer's seed corpus into the folder named on the command line:
// small files of every layout family the reader knows, with varied sizes,
// so mutation starts from inputs that reach the decoders.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>

namespace {

void put32(std::string& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

constexpr uint32_t fourCc(const char* c) {
  return static_cast<uint32_t>(static_cast<uint8_t>(c[0])) |
         static_cast<uint32_t>(static_cast<uint8_t>(c[1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(c[2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(c[3])) << 24;
}

struct Seed {
  const char* name;
  uint32_t pixelFlags;
  uint32_t fourCode;
  uint32_t bitCount;
  uint32_t masks[4];
  uint32_t dxgi;        // used when fourCode is DX10
  uint32_t blockBytes;  // 0: uncompressed, bitCount / 8 bytes per pixel
  uint32_t paletteBytes = 0;  // random palette entries between the header and the data
};

// More than one surface: mip levels, cube faces, array elements, depth
// slices. The data is random and at least as long as all of them.
struct Shape {
  uint32_t mips = 0;       // header mip count (0: one level)
  uint32_t cubeFaces = 0;  // legacy caps2 face bits; DX10 files get the cube flag
  uint32_t depth = 0;      // volume depth (0: no volume)
  uint32_t arraySize = 1;  // DX10 array elements
};

std::string makeFile(const Seed& seed, uint32_t width, uint32_t height, std::mt19937& random,
                     const Shape& shape = {}) {
  const bool dx10 = seed.fourCode == fourCc("DX10");
  std::string out;
  put32(out, 0x20534444);
  put32(out, 124);
  put32(out, 0x1 | 0x2 | 0x4 | 0x1000 | (shape.mips ? 0x20000 : 0) | (shape.depth ? 0x800000 : 0));
  put32(out, height);
  put32(out, width);
  put32(out, 0);  // pitch
  put32(out, shape.depth);
  put32(out, shape.mips);
  for (int i = 0; i < 11; ++i) put32(out, 0);  // reserved
  put32(out, 32);
  put32(out, seed.pixelFlags);
  put32(out, seed.fourCode);
  put32(out, seed.bitCount);
  for (uint32_t mask : seed.masks) put32(out, mask);
  const bool several = shape.mips || shape.cubeFaces || shape.depth || shape.arraySize > 1;
  put32(out, 0x1000 | (several ? 0x8 : 0) | (shape.mips ? 0x400000 : 0));
  put32(out, (shape.cubeFaces ? 0x200 | shape.cubeFaces : 0) | (shape.depth ? 0x200000 : 0));
  for (int i = 0; i < 3; ++i) put32(out, 0);
  if (dx10) {
    put32(out, seed.dxgi);
    put32(out, shape.depth ? 4 : 3);
    put32(out, shape.cubeFaces ? 0x4 : 0);
    put32(out, shape.arraySize);
    put32(out, 0);
  }
  for (uint32_t i = 0; i < seed.paletteBytes; ++i) out.push_back(static_cast<char>(random()));
  const uint64_t bytes = seed.blockBytes
                             ? uint64_t{(width + 3) / 4} * ((height + 3) / 4) * seed.blockBytes
                             : uint64_t{width} * height * (seed.bitCount / 8);
  const uint64_t copies = uint64_t{shape.cubeFaces ? 6u : 1u} * shape.arraySize *
                          std::max<uint32_t>(shape.depth, 1) * (shape.mips ? 2 : 1);
  for (uint64_t i = 0; i < bytes * copies; ++i) out.push_back(static_cast<char>(random()));
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: dds_seed_writer <folder>\n");
    return 2;
  }
  const uint32_t dx10 = fourCc("DX10");
  const Seed seeds[] = {
      {"dxt1", 4, fourCc("DXT1"), 0, {}, 0, 8},
      {"dxt2", 4, fourCc("DXT2"), 0, {}, 0, 16},
      {"dxt3", 4, fourCc("DXT3"), 0, {}, 0, 16},
      {"dxt5", 4, fourCc("DXT5"), 0, {}, 0, 16},
      {"ati1", 4, fourCc("ATI1"), 0, {}, 0, 8},
      {"bc4s", 4, fourCc("BC4S"), 0, {}, 0, 8},
      {"ati2", 4, fourCc("ATI2"), 0, {}, 0, 16},
      {"bc5s", 4, fourCc("BC5S"), 0, {}, 0, 16},
      {"bc6h", 4, dx10, 0, {}, 95, 16},
      {"bc6hs", 4, dx10, 0, {}, 96, 16},
      {"bc7", 4, dx10, 0, {}, 98, 16},
      {"rgba16f", 4, 113, 64, {}, 0, 0},
      {"r32f", 4, 114, 32, {}, 0, 0},
      {"a8r8g8b8", 0x41, 0, 32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, 0, 0},
      {"r8g8b8", 0x40, 0, 24, {0xFF0000, 0xFF00, 0xFF, 0}, 0, 0},
      {"r5g6b5", 0x40, 0, 16, {0xF800, 0x7E0, 0x1F, 0}, 0, 0},
      {"a2b10g10r10", 0x41, 0, 32, {0x3FF, 0xFFC00, 0x3FF00000, 0xC0000000}, 0, 0},
      {"g16r16", 0x40, 0, 32, {0xFFFF, 0xFFFF0000, 0, 0}, 0, 0},
      {"l8", 0x20000, 0, 8, {0xFF, 0, 0, 0}, 0, 0},
      {"a8l8", 0x20001, 0, 16, {0xFF, 0, 0, 0xFF00}, 0, 0},
      {"a8", 0x2, 0, 8, {0, 0, 0, 0xFF}, 0, 0},
      {"v8u8", 0x80000, 0, 16, {0xFF, 0xFF00, 0, 0}, 0, 0},
      {"dx10_rgba8", 4, dx10, 32, {}, 28, 0},
      {"dx10_r11g11b10", 4, dx10, 32, {}, 26, 0},
      {"dx10_r9g9b9e5", 4, dx10, 32, {}, 67, 0},
      {"dx10_rgba32f", 4, dx10, 128, {}, 2, 0},
      {"dx10_b4g4r4a4", 4, dx10, 16, {}, 115, 0},
      {"p8", 0x20, 0, 8, {}, 0, 0, 1024},
      {"l8_mask_outside", 0x20000, 0, 8, {0xFF000000, 0, 0, 0}, 0, 0},
  };
  std::mt19937 random(1);
  const uint32_t sizes[][2] = {{4, 4}, {5, 3}, {1, 1}, {9, 7}};
  for (const Seed& seed : seeds) {
    for (const auto& size : sizes) {
      const std::string path = std::string(argv[1]) + "/" + seed.name + "_" +
                               std::to_string(size[0]) + "x" + std::to_string(size[1]) + ".dds";
      const std::string data = makeFile(seed, size[0], size[1], random);
      std::FILE* file = std::fopen(path.c_str(), "wb");
      if (!file) return 1;
      std::fwrite(data.data(), 1, data.size(), file);
      std::fclose(file);
    }
  }
  // A few files of many surfaces, so mutation reaches every kind of them.
  const struct {
    const char* name;
    Seed seed;
    Shape shape;
  } shaped[] = {
      {"cube_mips", seeds[13], {3, 0xFC00, 0, 1}},
      {"cube_some_faces", seeds[0], {0, 0x2400, 0, 1}},
      {"volume_mips", seeds[13], {3, 0, 4, 1}},
      {"dx10_array", seeds[22], {2, 0, 0, 3}},
      {"dx10_cube", seeds[10], {0, 0xFC00, 0, 1}},
      {"dx10_volume", seeds[22], {2, 0, 4, 1}},
  };
  for (const auto& s : shaped) {
    const std::string path = std::string(argv[1]) + "/" + s.name + ".dds";
    const std::string data = makeFile(s.seed, 4, 4, random, s.shape);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 1;
    std::fwrite(data.data(), 1, data.size(), file);
    std::fclose(file);
  }
  return 0;
}
