#include "pipeline/parse_color.h"

#include <gtest/gtest.h>

TEST(ParseColor, ReadsPairsAndFallsBackToBlack) {
  struct Case {
    const char* text;
    int32_t alpha;
    uint32_t expected;
  };
  const Case cases[] = {
      {"FF8000", 255, 0xFF0080FF},  // red lowest, then green, blue, alpha
      {"ff8000", 0, 0x000080FF},
      {"000000", 128, 0x80000000},
      {"FFFFFF", 255, 0xFFFFFFFF},
      {"0A0b0C", 1, 0x010C0B0A},
      {"F G0Z0", 255, 0xFF00000F},  // a pair stops at its first non-digit
      {"GF0000", 255, 0xFF000000},  // no digit gives 0
      {"FFF", 255, 0xFF000000},     // not six characters: black
      {"FFFFFFF", 255, 0xFF000000},
      {"", 7, 0x07000000},
      {"\xC3\xA9" "0FF00", 255, 0xFF00FF00},  // six characters, the first not a digit
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parseColor(c.text, c.alpha), c.expected) << '"' << c.text << '"';
  }
}
