// BC1-BC5 against values computed here from the format description in
// floating point: widened endpoints are exact fractions (c * 255 / 31), and
// interpolated values exact fractions of those. Every decoded value must lie
// within half a step (correct rounding) of the exact one.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "formats/dds/bc1_bc3.h"
#include "formats/dds/bc4_bc5.h"

namespace {

struct Exact {
  double r, g, b, a;
};

uint16_t word(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// The description's colour block: four-colour mode when c0 > c1 or when
// forced (BC2, BC3), else three colours and transparent black.
void exactColorBlock(const uint8_t* block, bool forceFourColor, Exact* out) {
  const uint16_t c0 = word(block), c1 = word(block + 2);
  auto widen = [](uint16_t c) {
    return Exact{(c >> 11) * 255.0 / 31, ((c >> 5) & 63) * 255.0 / 63, (c & 31) * 255.0 / 31, 255};
  };
  const Exact e0 = widen(c0), e1 = widen(c1);
  auto mix = [](const Exact& x, const Exact& y, double wx, double wy) {
    return Exact{x.r * wx + y.r * wy, x.g * wx + y.g * wy, x.b * wx + y.b * wy, 255};
  };
  Exact palette[4] = {e0, e1, {}, {}};
  if (c0 > c1 || forceFourColor) {
    palette[2] = mix(e0, e1, 2.0 / 3, 1.0 / 3);
    palette[3] = mix(e0, e1, 1.0 / 3, 2.0 / 3);
  } else {
    palette[2] = mix(e0, e1, 0.5, 0.5);
    palette[3] = Exact{0, 0, 0, 0};
  }
  for (int i = 0; i < 16; ++i) out[i] = palette[(block[4 + i / 4] >> (2 * (i % 4))) & 3];
}

// The description's interpolated channel block; signed endpoints are read as
// two's complement with -128 counted as -127, and the result v is shown as
// (v + 1) / 2 in 0..255.
void exactChannelBlock(const uint8_t* block, bool isSigned, double* out) {
  double e0, e1, low, high;
  bool eightValues;
  if (isSigned) {
    const int s0 = std::max<int>(-127, static_cast<int8_t>(block[0]));
    const int s1 = std::max<int>(-127, static_cast<int8_t>(block[1]));
    e0 = s0 / 127.0;
    e1 = s1 / 127.0;
    eightValues = s0 > s1;
    low = -1;
    high = 1;
  } else {
    e0 = block[0] / 255.0;
    e1 = block[1] / 255.0;
    eightValues = block[0] > block[1];
    low = 0;
    high = 1;
  }
  double palette[8] = {e0, e1};
  for (int i = 1; i < 7; ++i) {
    if (eightValues) {
      palette[i + 1] = ((7 - i) * e0 + i * e1) / 7;
    } else if (i < 5) {
      palette[i + 1] = ((5 - i) * e0 + i * e1) / 5;
    }
  }
  if (!eightValues) {
    palette[6] = low;
    palette[7] = high;
  }
  uint64_t bits = 0;
  for (int i = 0; i < 6; ++i) bits |= static_cast<uint64_t>(block[2 + i]) << (8 * i);
  for (int i = 0; i < 16; ++i) {
    const double v = palette[(bits >> (3 * i)) & 7];
    out[i] = isSigned ? (v + 1) / 2 * 255 : v * 255;
  }
}

constexpr double kTolerance = 0.5 + 1e-9;

void randomBlock(std::mt19937& random, uint8_t* block, size_t size) {
  for (size_t i = 0; i < size; ++i) block[i] = static_cast<uint8_t>(random());
  // Every fourth block has equal endpoints, a case encoders produce often.
  if (random() % 4 == 0) std::memcpy(block + 2, block, 2);
}

}  // namespace

TEST(Bc1Bc3, ColorBlocksWithinHalfAStepOfTheExactValue) {
  std::mt19937 random(7);
  for (int n = 0; n < 20000; ++n) {
    uint8_t block[16];
    randomBlock(random, block, sizeof block);
    Rgba8 bc1[16], bc2[16], bc3[16];
    decodeBc1Block(block, bc1);
    decodeBc2Block(block, bc2);
    decodeBc3Block(block, bc3);
    Exact exact1[16], exact23[16];
    exactColorBlock(block, false, exact1);
    exactColorBlock(block + 8, true, exact23);
    double alpha3[16];
    exactChannelBlock(block, false, alpha3);
    for (int i = 0; i < 16; ++i) {
      ASSERT_LE(std::fabs(bc1[i].r - exact1[i].r), kTolerance) << "bc1 block " << n << " pixel " << i;
      ASSERT_LE(std::fabs(bc1[i].g - exact1[i].g), kTolerance) << "bc1 block " << n << " pixel " << i;
      ASSERT_LE(std::fabs(bc1[i].b - exact1[i].b), kTolerance) << "bc1 block " << n << " pixel " << i;
      ASSERT_EQ(bc1[i].a, exact1[i].a) << "bc1 block " << n << " pixel " << i;
      for (const Rgba8* p : {&bc2[i], &bc3[i]}) {
        ASSERT_LE(std::fabs(p->r - exact23[i].r), kTolerance) << "bc2/3 block " << n << " pixel " << i;
        ASSERT_LE(std::fabs(p->g - exact23[i].g), kTolerance) << "bc2/3 block " << n << " pixel " << i;
        ASSERT_LE(std::fabs(p->b - exact23[i].b), kTolerance) << "bc2/3 block " << n << " pixel " << i;
      }
      ASSERT_EQ(bc2[i].a, ((block[i / 2] >> (4 * (i % 2))) & 15) * 17) << "bc2 block " << n;
      ASSERT_LE(std::fabs(bc3[i].a - alpha3[i]), kTolerance) << "bc3 block " << n << " pixel " << i;
    }
  }
}

TEST(Bc1Bc3, Bc3ColourIsFourColourEvenWhenTheFirstEndpointIsSmaller) {
  // Endpoints blue (0x001F) then red (0xF800): the first is smaller, so BC1
  // would use three colours; BC3 must give (2 red + blue) / 3 for index 3.
  const uint8_t block[16] = {255, 255, 0, 0, 0, 0, 0, 0, 0x1F, 0x00, 0x00, 0xF8, 0xFF, 0xFF, 0xFF, 0xFF};
  Rgba8 pixels[16];
  decodeBc3Block(block, pixels);
  EXPECT_EQ(pixels[0].r, 170);
  EXPECT_EQ(pixels[0].g, 0);
  EXPECT_EQ(pixels[0].b, 85);
  EXPECT_EQ(pixels[0].a, 255);
  decodeBc1Block(block + 8, pixels);
  EXPECT_EQ(pixels[0].a, 0) << "BC1 index 3 in three-colour mode is transparent black";
  EXPECT_EQ(pixels[0].r, 0);
}

TEST(Bc4Bc5, ChannelBlocksWithinHalfAStepOfTheExactValue) {
  std::mt19937 random(8);
  for (int n = 0; n < 20000; ++n) {
    uint8_t block[16];
    randomBlock(random, block, sizeof block);
    if (n % 7 == 0) block[0] = 0x80;  // -128, read as -127 when signed
    for (const bool isSigned : {false, true}) {
      uint8_t values[16];
      Rgba8 pairs[16];
      (isSigned ? decodeBc4SignedBlock : decodeBc4Block)(block, values);
      (isSigned ? decodeBc5SignedBlock : decodeBc5Block)(block, pairs);
      double red[16], green[16];
      exactChannelBlock(block, isSigned, red);
      exactChannelBlock(block + 8, isSigned, green);
      for (int i = 0; i < 16; ++i) {
        const char* kind = isSigned ? "signed" : "unsigned";
        ASSERT_LE(std::fabs(values[i] - red[i]), kTolerance) << kind << " block " << n << " pixel " << i;
        ASSERT_EQ(pairs[i].r, values[i]) << kind << " block " << n;
        ASSERT_LE(std::fabs(pairs[i].g - green[i]), kTolerance) << kind << " block " << n << " pixel " << i;
        ASSERT_EQ(pairs[i].b, 0);
      }
    }
  }
}

TEST(Bc4Bc5, SignedExtremesMapToTheEndsAndZeroToTheMiddle) {
  struct Case {
    uint8_t endpoint;
    uint8_t expected;
  } cases[] = {{0x7F, 255}, {0x81, 0}, {0x80, 0}, {0x00, 128}, {0x01, 129}, {0xFF, 126}};
  for (const Case& c : cases) {
    const uint8_t block[8] = {c.endpoint, c.endpoint, 0, 0, 0, 0, 0, 0};
    uint8_t values[16];
    decodeBc4SignedBlock(block, values);
    EXPECT_EQ(values[0], c.expected) << "endpoint " << int(c.endpoint);
  }
}
