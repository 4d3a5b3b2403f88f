#include "formats/dds/bc6h.h"

#include <array>
#include <bit>
#include <cstring>
#include <string_view>
#include <utility>

#include "formats/dds/block_bits.h"
#include "formats/dds/bptc_tables.h"

namespace {

struct Bc6hMode {
  int number;
  bool transformed;
  int partitionBits;  // 0: one subset, 5: two subsets
  int endpointBits;
  int deltaBits[3];   // bits of the red, green, blue values of endpoints 1..3
  // The endpoint bits in block order after the mode bits, written as
  // "v[a:b]": bits a down to b of v, or, when a < b, b down to a reversed.
  std::string_view layout;
};

constexpr Bc6hMode kModes[] = {
    {0, true, 5, 10, {5, 5, 5},
     "g2[4],b2[4],b3[4],r0[9:0],g0[9:0],b0[9:0],r1[4:0],g3[4],g2[3:0],g1[4:0],b3[0],g3[3:0],"
     "b1[4:0],b3[1],b2[3:0],r2[4:0],b3[2],r3[4:0],b3[3]"},
    {1, true, 5, 7, {6, 6, 6},
     "g2[5],g3[4],g3[5],r0[6:0],b3[0],b3[1],b2[4],g0[6:0],b2[5],b3[2],g2[4],b0[6:0],b3[3],"
     "b3[5],b3[4],r1[5:0],g2[3:0],g1[5:0],g3[3:0],b1[5:0],b2[3:0],r2[5:0],r3[5:0]"},
    {2, true, 5, 11, {5, 4, 4},
     "r0[9:0],g0[9:0],b0[9:0],r1[4:0],r0[10],g2[3:0],g1[3:0],g0[10],b3[0],g3[3:0],b1[3:0],"
     "b0[10],b3[1],b2[3:0],r2[4:0],b3[2],r3[4:0],b3[3]"},
    {6, true, 5, 11, {4, 5, 4},
     "r0[9:0],g0[9:0],b0[9:0],r1[3:0],r0[10],g3[4],g2[3:0],g1[4:0],g0[10],g3[3:0],b1[3:0],"
     "b0[10],b3[1],b2[3:0],r2[3:0],b3[0],b3[2],r3[3:0],g2[4],b3[3]"},
    {10, true, 5, 11, {4, 4, 5},
     "r0[9:0],g0[9:0],b0[9:0],r1[3:0],r0[10],b2[4],g2[3:0],g1[3:0],g0[10],b3[0],g3[3:0],"
     "b1[4:0],b0[10],b2[3:0],r2[3:0],b3[1],b3[2],r3[3:0],b3[4],b3[3]"},
    {14, true, 5, 9, {5, 5, 5},
     "r0[8:0],b2[4],g0[8:0],g2[4],b0[8:0],b3[4],r1[4:0],g3[4],g2[3:0],g1[4:0],b3[0],g3[3:0],"
     "b1[4:0],b3[1],b2[3:0],r2[4:0],b3[2],r3[4:0],b3[3]"},
    {18, true, 5, 8, {6, 5, 5},
     "r0[7:0],g3[4],b2[4],g0[7:0],b3[2],g2[4],b0[7:0],b3[3],b3[4],r1[5:0],g2[3:0],g1[4:0],"
     "b3[0],g3[3:0],b1[4:0],b3[1],b2[3:0],r2[5:0],r3[5:0]"},
    {22, true, 5, 8, {5, 6, 5},
     "r0[7:0],b3[0],b2[4],g0[7:0],g2[5],g2[4],b0[7:0],g3[5],b3[4],r1[4:0],g3[4],g2[3:0],"
     "g1[5:0],g3[3:0],b1[4:0],b3[1],b2[3:0],r2[4:0],b3[2],r3[4:0],b3[3]"},
    {26, true, 5, 8, {5, 5, 6},
     "r0[7:0],b3[1],b2[4],g0[7:0],b2[5],g2[4],b0[7:0],b3[5],b3[4],r1[4:0],g3[4],g2[3:0],"
     "g1[4:0],b3[0],g3[3:0],b1[5:0],b2[3:0],r2[4:0],b3[2],r3[4:0],b3[3]"},
    {30, false, 5, 6, {6, 6, 6},
     "r0[5:0],g3[4],b3[0],b3[1],b2[4],g0[5:0],g2[5],b2[5],b3[2],g2[4],b0[5:0],g3[5],b3[3],"
     "b3[5],b3[4],r1[5:0],g2[3:0],g1[5:0],g3[3:0],b1[5:0],b2[3:0],r2[5:0],r3[5:0]"},
    {3, false, 0, 10, {10, 10, 10}, "r0[9:0],g0[9:0],b0[9:0],r1[9:0],g1[9:0],b1[9:0]"},
    {7, true, 0, 11, {9, 9, 9},
     "r0[9:0],g0[9:0],b0[9:0],r1[8:0],r0[10],g1[8:0],g0[10],b1[8:0],b0[10]"},
    {11, true, 0, 12, {8, 8, 8},
     "r0[9:0],g0[9:0],b0[9:0],r1[7:0],r0[10:11],g1[7:0],g0[10:11],b1[7:0],b0[10:11]"},
    {15, true, 0, 16, {4, 4, 4},
     "r0[9:0],g0[9:0],b0[9:0],r1[3:0],r0[10:15],g1[3:0],g0[10:15],b1[3:0],b0[10:15]"},
};
constexpr int kModeCount = sizeof(kModes) / sizeof(kModes[0]);

// One run of a mode's endpoint layout, placed in the block: bits `shift` on
// of block word `word` (0: bits 0..63, 1: bits 64..127), masked by `mask`, go
// to endpoint value `target` (r0 g0 b0 r1 ... b3 as 0..11) from bit `firstBit`
// up. Runs that cross into the second word are split in two and reversed
// runs into single bits, so a run is one shift and mask, with no branch.
struct BitRun {
  uint8_t target = 0;
  uint8_t word = 0;
  uint8_t shift = 0;
  uint8_t firstBit = 0;
  uint32_t mask = 0;
};

// The longest layout, with its reversed fields in single bits, has 24 runs.
struct ModeRuns {
  std::array<BitRun, 32> runs{};
  int count = 0;
  int end = 0;  // the block bit after the last run: where the partition is
};

constexpr int parseNumber(std::string_view text, size_t& at) {
  int value = 0;
  while (at < text.size() && text[at] >= '0' && text[at] <= '9') value = value * 10 + (text[at++] - '0');
  return value;
}

// Adds count block bits from position on, going to target from firstBit up.
constexpr void addRun(ModeRuns& parsed, int target, int position, int firstBit, int count) {
  if (position < 64 && position + count > 64) {
    const int low = 64 - position;
    addRun(parsed, target, position, firstBit, low);
    addRun(parsed, target, 64, firstBit + low, count - low);
    return;
  }
  BitRun& run = parsed.runs[parsed.count++];
  run.target = static_cast<uint8_t>(target);
  run.word = static_cast<uint8_t>(position / 64);
  run.shift = static_cast<uint8_t>(position % 64);
  run.firstBit = static_cast<uint8_t>(firstBit);
  run.mask = (1u << count) - 1;
}

// Turns a layout text into bit runs when compiling; the texts above are the
// only input. Endpoint bits follow the mode bits (2 or 5 of them).
constexpr ModeRuns parseLayout(const Bc6hMode& mode) {
  const std::string_view text = mode.layout;
  ModeRuns parsed;
  int position = mode.number < 2 ? 2 : 5;
  size_t at = 0;
  while (at < text.size()) {
    const int channel = text[at] == 'r' ? 0 : text[at] == 'g' ? 1 : 2;
    const int endpoint = text[at + 1] - '0';
    at += 3;  // "r0["
    const int high = parseNumber(text, at);
    int low = high;
    if (text[at] == ':') {
      ++at;
      low = parseNumber(text, at);
    }
    at += 2;  // "]," (the last field ends the text one byte early)
    const int target = endpoint * 3 + channel;
    // Block bits fill the field from its low end: v[9:0] starts at bit 0;
    // a reversed field v[10:15] starts at bit 15 and goes down.
    if (high >= low) {
      addRun(parsed, target, position, low, high - low + 1);
      position += high - low + 1;
    } else {
      for (int bit = low; bit >= high; --bit) addRun(parsed, target, position++, bit, 1);
    }
  }
  parsed.end = position;
  return parsed;
}

constexpr std::array<ModeRuns, kModeCount> kModeRuns = [] {
  std::array<ModeRuns, kModeCount> all{};
  for (int i = 0; i < kModeCount; ++i) all[i] = parseLayout(kModes[i]);
  return all;
}();

// Every layout fills the block up to the partition (two subsets) or the
// indices (one subset).
constexpr bool layoutsFillTheirBits() {
  for (int i = 0; i < kModeCount; ++i) {
    if (kModeRuns[i].end != (kModes[i].partitionBits > 0 ? 77 : 65)) return false;
  }
  return true;
}
static_assert(layoutsFillTheirBits());

inline int signExtend(int value, int bits) {
  const int shift = 32 - bits;
  return static_cast<int>(static_cast<uint32_t>(value) << shift) >> shift;
}

inline int unquantize(int value, int bits, bool isSigned) {
  if (!isSigned) {
    if (bits >= 15) return value;
    if (value == 0) return 0;
    if (value == (1 << bits) - 1) return 0xFFFF;
    return ((value << 15) + 0x4000) >> (bits - 1);
  }
  if (bits >= 16) return value;
  const bool negative = value < 0;
  int magnitude = negative ? -value : value;
  int result;
  if (magnitude == 0) {
    result = 0;
  } else if (magnitude >= (1 << (bits - 1)) - 1) {
    result = 0x7FFF;
  } else {
    result = ((magnitude << 15) + 0x4000) >> (bits - 1);
  }
  return negative ? -result : result;
}

inline uint16_t finishHalf(int value, bool isSigned) {
  if (!isSigned) return static_cast<uint16_t>((value * 31) >> 6);
  if (value < 0) return static_cast<uint16_t>((((-value) * 31) >> 5) | 0x8000);
  return static_cast<uint16_t>((value * 31) >> 5);
}

// Four palette entries of one channel, as lanes of the compiler's own
// vectors (an SSE register on x86-64, portable C++ elsewhere).
using Lanes = int32_t __attribute__((vector_size(16)));
using FloatLanes = float __attribute__((vector_size(16)));

// The floats four interpolated values finish as: unsigned values are
// 0..0xFFFF, signed ones -0x8000..0x7FFF. Each is scaled to a half (at most
// 0x7C00, which only -0x8000 reaches: infinity) and the half widened exactly
// as halfToFloat does: normal halves by moving the exponent, subnormal ones
// as mantissa * 2^-24.
template <bool isSigned>
inline FloatLanes finishLanes(Lanes value) {
  Lanes magnitude;
  Lanes sign = {};
  if constexpr (isSigned) {
    const Lanes negative = value < 0;
    magnitude = (((negative ? -value : value) * 31) >> 5);
    sign = negative & static_cast<int32_t>(0x80000000u);
  } else {
    magnitude = (value * 31) >> 6;
  }
  const Lanes normal = (magnitude << 13) + (112 << 23);
  const FloatLanes subnormal = __builtin_convertvector(magnitude, FloatLanes) * 0x1p-24f;
  Lanes bits = magnitude < 0x400 ? std::bit_cast<Lanes>(subnormal) : normal;
  bits = magnitude == 0x7C00 ? Lanes{} + 0x7F800000 : bits;
  bits |= sign;
  return std::bit_cast<FloatLanes>(bits);
}

// The interpolation weights of palette entries 4 * group and up.
template <int indexBits>
constexpr Lanes weightLanes(int group) {
  const uint8_t* w = (indexBits == 3 ? kWeights3 : kWeights4) + 4 * group;
  return Lanes{w[0], w[1], w[2], w[3]};
}

// Ors one run's bits into its endpoint value; the run is a template
// argument, so its shift and mask are constants.
template <BitRun run>
inline void gatherRun(const BlockBits& bits, int* values) {
  const uint64_t word = run.word == 0 ? bits.low : bits.high;
  values[run.target] |= static_cast<int>(((word >> run.shift) & run.mask) << run.firstBit);
}

template <int kIndex, size_t... r>
inline void gatherRuns(const BlockBits& bits, int* values, std::index_sequence<r...>) {
  (gatherRun<kModeRuns[kIndex].runs[r]>(bits, values), ...);
}

// One mode's decoder: its layout, widths and subsets are constants here.
template <int kIndex, bool isSigned>
void decodeMode(const BlockBits& bits, FIRGBF* pixels, ptrdiff_t rowStride) {
  constexpr Bc6hMode mode = kModes[kIndex];
  int values[12] = {};  // r0 g0 b0 r1 g1 b1 r2 g2 b2 r3 g3 b3
  gatherRuns<kIndex>(bits, values, std::make_index_sequence<kModeRuns[kIndex].count>());
  constexpr int subsets = mode.partitionBits > 0 ? 2 : 1;
  constexpr int indexStart = subsets == 2 ? 82 : 65;
  constexpr int endpointCount = subsets * 2;

  constexpr int mask = (1 << mode.endpointBits) - 1;
  if constexpr (isSigned) {
#pragma GCC unroll 3
    for (int c = 0; c < 3; ++c) values[c] = signExtend(values[c], mode.endpointBits);
  }
#pragma GCC unroll 3
  for (int e = 1; e < endpointCount; ++e) {
#pragma GCC unroll 3
    for (int c = 0; c < 3; ++c) {
      int& v = values[e * 3 + c];
      if (isSigned || mode.transformed) v = signExtend(v, mode.deltaBits[c]);
      if constexpr (mode.transformed) {
        v = (v + values[c]) & mask;
        if (isSigned) v = signExtend(v, mode.endpointBits);
      }
    }
  }

  int endpoints[4][3];
#pragma GCC unroll 4
  for (int e = 0; e < endpointCount; ++e) {
#pragma GCC unroll 3
    for (int c = 0; c < 3; ++c) endpoints[e][c] = unquantize(values[e * 3 + c], mode.endpointBits, isSigned);
  }

  // The colours each subset's indices select from, as finished floats, one
  // array per channel, four entries at a time.
  constexpr int indexBits = subsets == 2 ? 3 : 4;
  constexpr int entries = 1 << indexBits;
  float palette[subsets][3][entries];
#pragma GCC unroll 2
  for (int s = 0; s < subsets; ++s) {
#pragma GCC unroll 3
    for (int c = 0; c < 3; ++c) {
      const int e0 = endpoints[2 * s][c];
      const int e1 = endpoints[2 * s + 1][c];
#pragma GCC unroll 4
      for (int group = 0; group < entries / 4; ++group) {
        const Lanes w = weightLanes<indexBits>(group);
        const FloatLanes finished = finishLanes<isSigned>((e0 * (64 - w) + e1 * w + 32) >> 6);
        std::memcpy(&palette[s][c][group * 4], &finished, sizeof finished);
      }
    }
  }

  uint64_t indices = restoreAnchorBit(bits.field(indexStart, 128 - indexStart), 0, indexBits);
  uint32_t subsetMask = 0;  // one bit per pixel
  if constexpr (subsets == 2) {
    const int partition = static_cast<int>(bits.field(77, mode.partitionBits));
    indices = restoreAnchorBit(indices, kTwoSubsetAnchors[partition], indexBits);
    subsetMask = kTwoSubsetPartitions[partition];
  }
#pragma GCC unroll 16
  for (int i = 0; i < kBlockPixels; ++i) {
    const uint32_t k = static_cast<uint32_t>(indices >> (indexBits * i)) & (entries - 1);
    const float(*entry)[entries] = palette[subsets == 2 ? (subsetMask >> i) & 1 : 0];
    pixels[(i / 4) * rowStride + (i % 4)] = FIRGBF{entry[0][k], entry[1][k], entry[2][k]};
  }
}

// The reserved mode numbers decode as black.
void decodeReserved(const BlockBits&, FIRGBF* pixels, ptrdiff_t rowStride) {
  for (int row = 0; row < 4; ++row) {
    std::memset(static_cast<void*>(pixels + row * rowStride), 0, 4 * sizeof(FIRGBF));
  }
}

using ModeDecoder = void (*)(const BlockBits&, FIRGBF*, ptrdiff_t);

// The decoder of each 5-bit mode number (the 2-bit ones fill their four slots).
template <bool isSigned, size_t... i>
constexpr std::array<ModeDecoder, 32> modeDecoders(std::index_sequence<i...>) {
  std::array<ModeDecoder, 32> table{};
  table.fill(&decodeReserved);
  ((table[kModes[i].number] = &decodeMode<static_cast<int>(i), isSigned>), ...);
  for (int number = 0; number < 32; ++number) {
    if ((number & 3) < 2) table[number] = table[number & 3];
  }
  return table;
}

template <bool isSigned>
constexpr std::array<ModeDecoder, 32> kModeDecoders =
    modeDecoders<isSigned>(std::make_index_sequence<kModeCount>());

}  // namespace

void decodeBc6hBlock(const uint8_t* block, bool isSigned, FIRGBF* pixels, ptrdiff_t rowStride) {
  const BlockBits bits(block);
  const ModeDecoder* decoders = isSigned ? kModeDecoders<true>.data() : kModeDecoders<false>.data();
  decoders[block[0] & 31](bits, pixels, rowStride);
}
