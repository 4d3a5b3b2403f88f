// Decoding speed of the DDS reader on 4096 x 4096 block-compressed images,
// from a file already in memory to the finished FreeImage bitmap. For DXT1
// and DXT5 FreeImage's own loader decodes the same bytes in the same run, as
// the yardstick the reader must at least match.
//
// Run: build-bench/bench/dds_decode_bench (configure with -DPELLUCID_BENCH=ON).

#include <FreeImage.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>

#include "formats/dds/dds_reader.h"

namespace {

constexpr uint32_t kSide = 4096;

void put32(std::string& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

constexpr uint32_t fourCc(const char* c) {
  return static_cast<uint32_t>(static_cast<uint8_t>(c[0])) |
         static_cast<uint32_t>(static_cast<uint8_t>(c[1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(c[2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(c[3])) << 24;
}

// A 4096 x 4096 file of random blocks: every block pattern is valid, and
// random ones mix the decoders' branches the way varied content does.
std::string makeFile(uint32_t code, uint32_t dxgiFormat, uint32_t blockBytes) {
  std::string out;
  put32(out, 0x20534444);  // "DDS "
  put32(out, 124);
  put32(out, 0x1 | 0x2 | 0x4 | 0x1000 | 0x80000);
  put32(out, kSide);
  put32(out, kSide);
  put32(out, (kSide / 4) * (kSide / 4) * blockBytes);
  for (int i = 0; i < 13; ++i) put32(out, 0);
  put32(out, 32);
  put32(out, 0x4);
  put32(out, code);
  for (int i = 0; i < 5; ++i) put32(out, 0);
  put32(out, 0x1000);
  for (int i = 0; i < 4; ++i) put32(out, 0);
  if (code == fourCc("DX10")) {
    put32(out, dxgiFormat);
    put32(out, 3);
    put32(out, 0);
    put32(out, 1);
    put32(out, 0);
  }
  std::mt19937 random(42);
  const size_t bytes = size_t{kSide / 4} * (kSide / 4) * blockBytes;
  for (size_t i = 0; i < bytes; ++i) out.push_back(static_cast<char>(random()));
  return out;
}

const std::string& fileFor(int kind) {
  static const std::string files[] = {
      makeFile(fourCc("DXT1"), 0, 8),
      makeFile(fourCc("DXT5"), 0, 16),
      makeFile(fourCc("ATI2"), 0, 16),
      makeFile(fourCc("DX10"), 98, 16),
  };
  return files[kind];
}

void reportPixels(benchmark::State& state) {
  state.counters["Mpixel/s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kSide * kSide / 1e6, benchmark::Counter::kIsRate);
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

// Argument: 0 = DXT1 (BC1), 1 = DXT5 (BC3), 2 = ATI2 (BC5), 3 = BC7.
BENCHMARK(ownReader)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(freeImageLoader)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
