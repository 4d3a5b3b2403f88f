// Decoding speed of the DDS reader, from a file already in memory to the
// finished FreeImage bitmap: 4096 x 4096 (and 1024 x 1024) block-compressed
// images and 2048 x 2048 uncompressed ones of random content. Where FreeImage's own
// loader reads the format (DXT1, DXT5 and the legacy 8-bit layouts), it
// decodes the same bytes in the same run, as the yardstick the reader must at
// least match.
//
// Run: build-bench/bench/dds_decode_bench (configure with -DPELLUCID_BENCH=ON).
// The argument names the file kind; see kKinds.

#include <FreeImage.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <random>
#include <string>

#include "formats/dds/dds_reader.h"
#include "platform/memory.h"

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

// One kind of file: block-compressed (blockBytes > 0) or uncompressed with
// bytesPerPixel; given by FourCC, by DXGI format (fourCc "DX10") or by masks.
struct Kind {
  const char* name;
  uint32_t side;
  uint32_t fourCc;
  uint32_t dxgiFormat;
  uint32_t blockBytes;
  uint32_t bytesPerPixel;
  uint32_t pixelFlags;  // for masks
  uint32_t masks[4];
  bool freeImageReads;
};

constexpr uint32_t kRgb = 0x40, kAlphaPixels = 0x1, kLuminance = 0x20000;
const uint32_t kDx10 = fourCc("DX10");

const Kind kKinds[] = {
    {"DXT1", 4096, fourCc("DXT1"), 0, 8, 0, 0, {}, true},
    {"DXT5", 4096, fourCc("DXT5"), 0, 16, 0, 0, {}, true},
    {"ATI2", 4096, fourCc("ATI2"), 0, 16, 0, 0, {}, false},
    {"BC7", 4096, kDx10, 98, 16, 0, 0, {}, false},
    {"BC6H", 4096, kDx10, 95, 16, 0, 0, {}, false},
    {"ATI1", 4096, fourCc("ATI1"), 0, 8, 0, 0, {}, false},
    {"A8R8G8B8", 2048, 0, 0, 0, 4, kRgb | kAlphaPixels, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, true},
    {"X8R8G8B8", 2048, 0, 0, 0, 4, kRgb, {0xFF0000, 0xFF00, 0xFF, 0}, true},
    {"A8B8G8R8", 2048, 0, 0, 0, 4, kRgb | kAlphaPixels, {0xFF, 0xFF00, 0xFF0000, 0xFF000000}, true},
    {"R8G8B8", 2048, 0, 0, 0, 3, kRgb, {0xFF0000, 0xFF00, 0xFF, 0}, true},
    {"L8", 2048, 0, 0, 0, 1, kLuminance, {0xFF, 0, 0, 0}, false},
    {"A8L8", 2048, 0, 0, 0, 2, kLuminance | kAlphaPixels, {0xFF, 0, 0, 0xFF00}, false},
    {"R5G6B5", 2048, 0, 0, 0, 2, kRgb, {0xF800, 0x7E0, 0x1F, 0}, true},
    {"RGBA16_UNORM", 2048, kDx10, 11, 0, 8, 0, {}, false},
    {"RGBA16_FLOAT", 2048, kDx10, 10, 0, 8, 0, {}, false},
    {"RGBA32_FLOAT", 2048, kDx10, 2, 0, 16, 0, {}, false},
    // Small enough that the bitmap's memory is reused from one decode to the
    // next rather than mapped afresh, so the decoder's own work shows.
    {"BC7 1024", 1024, kDx10, 98, 16, 0, 0, {}, false},
    {"BC6H 1024", 1024, kDx10, 95, 16, 0, 0, {}, false},
    {"DXT1 1024", 1024, fourCc("DXT1"), 0, 8, 0, 0, {}, true},
};
constexpr int kKindCount = sizeof(kKinds) / sizeof(kKinds[0]);

// A file of random content: every block pattern is valid, and random ones mix
// the decoders' branches the way varied content does.
std::string makeFile(const Kind& kind) {
  const uint32_t side = kind.side;
  const size_t bytes = kind.blockBytes ? size_t{side / 4} * (side / 4) * kind.blockBytes
                                       : size_t{side} * side * kind.bytesPerPixel;
  std::string out;
  put32(out, 0x20534444);  // "DDS "
  put32(out, 124);
  put32(out, 0x1 | 0x2 | 0x4 | 0x1000 | (kind.blockBytes ? 0x80000 : 0x8));
  put32(out, side);
  put32(out, side);
  put32(out, kind.blockBytes ? static_cast<uint32_t>(bytes) : side * kind.bytesPerPixel);
  for (int i = 0; i < 13; ++i) put32(out, 0);
  put32(out, 32);
  if (kind.fourCc != 0) {
    put32(out, 0x4);
    put32(out, kind.fourCc);
    for (int i = 0; i < 5; ++i) put32(out, 0);
  } else {
    put32(out, kind.pixelFlags);
    put32(out, 0);
    put32(out, kind.bytesPerPixel * 8);
    for (uint32_t mask : kind.masks) put32(out, mask);
  }
  put32(out, 0x1000);
  for (int i = 0; i < 4; ++i) put32(out, 0);
  if (kind.fourCc == kDx10) {
    put32(out, kind.dxgiFormat);
    put32(out, 3);
    put32(out, 0);
    put32(out, 1);
    put32(out, 0);
  }
  std::mt19937 random(42);
  for (size_t i = 0; i < bytes; ++i) out.push_back(static_cast<char>(random()));
  return out;
}

// Files are made on first use, so a filtered run builds only its own.
const std::string& fileFor(int kind) {
  static std::map<int, std::string> files;
  auto found = files.find(kind);
  if (found == files.end()) found = files.emplace(kind, makeFile(kKinds[kind])).first;
  return found->second;
}

void reportPixels(benchmark::State& state) {
  state.counters["Mpixel/s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kKinds[state.range(0)].side *
          kKinds[state.range(0)].side / 1e6,
      benchmark::Counter::kIsRate);
  state.SetLabel(kKinds[state.range(0)].name);
}

void ownReader(benchmark::State& state) {
  const std::string& file = fileFor(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    Bitmap bitmap = readDdsImage(reinterpret_cast<const uint8_t*>(file.data()), file.size());
    if (!bitmap) state.SkipWithError("not decoded");
    benchmark::DoNotOptimize(bitmap.get());
  }
  reportPixels(state);
}

// Each image decoded into fresh pixel memory, as the first large image of a
// batch: a block held through the loop keeps the reader from keeping the
// last image's block for the next (which ownReader above reuses).
void ownReaderFreshMemory(benchmark::State& state) {
  const std::string& file = fileFor(static_cast<int>(state.range(0)));
  void* held = allocatePixelMemory(size_t{64} << 20);
  for (auto _ : state) {
    Bitmap bitmap = readDdsImage(reinterpret_cast<const uint8_t*>(file.data()), file.size());
    if (!bitmap) state.SkipWithError("not decoded");
    benchmark::DoNotOptimize(bitmap.get());
  }
  releasePixelMemory(held);
  reportPixels(state);
}

void freeImageLoader(benchmark::State& state) {
  std::string& file = const_cast<std::string&>(fileFor(static_cast<int>(state.range(0))));
  for (auto _ : state) {
    FIMEMORY* memory = FreeImage_OpenMemory(reinterpret_cast<BYTE*>(file.data()),
                                            static_cast<DWORD>(file.size()));
    FIBITMAP* bitmap = FreeImage_LoadFromMemory(FIF_DDS, memory, 0);
    if (!bitmap) state.SkipWithError("not decoded");
    benchmark::DoNotOptimize(bitmap);
    FreeImage_Unload(bitmap);
    FreeImage_CloseMemory(memory);
  }
  reportPixels(state);
}

}  // namespace

void ownReaderKinds(benchmark::internal::Benchmark* b) {
  for (int kind = 0; kind < kKindCount; ++kind) b->Arg(kind);
}

void freeImageKinds(benchmark::internal::Benchmark* b) {
  for (int kind = 0; kind < kKindCount; ++kind) {
    if (kKinds[kind].freeImageReads) b->Arg(kind);
  }
}

BENCHMARK(ownReader)->Apply(ownReaderKinds)->Unit(benchmark::kMillisecond);
BENCHMARK(ownReaderFreshMemory)
    ->Arg(0)
    ->Arg(3)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(freeImageLoader)->Apply(freeImageKinds)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
