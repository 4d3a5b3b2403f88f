#include "formats/dds/bptc_tables.h"

#include <gtest/gtest.h>

// The partition and anchor tables were written by hand from the published
// tables; these properties of the published tables catch a slip in either.
TEST(BptcTables, AnchorsLieInTheirSubsetsAndPixelZeroInTheFirst) {
  for (int p = 0; p < 64; ++p) {
    EXPECT_EQ(bptcSubset(2, p, 0), 0) << "two subsets, partition " << p;
    EXPECT_EQ(bptcSubset(3, p, 0), 0) << "three subsets, partition " << p;
    EXPECT_EQ(bptcSubset(2, p, kTwoSubsetAnchors[p]), 1) << "partition " << p;
    EXPECT_EQ(bptcSubset(3, p, kThreeSubsetSecondAnchors[p]), 1) << "partition " << p;
    EXPECT_EQ(bptcSubset(3, p, kThreeSubsetThirdAnchors[p]), 2) << "partition " << p;
    int count[3] = {};
    for (int i = 0; i < 16; ++i) ++count[bptcSubset(3, p, i)];
    EXPECT_GT(count[1], 0) << "partition " << p;
    EXPECT_GT(count[2], 0) << "partition " << p;
  }
}

TEST(BptcTables, WeightsRunFromZeroToSixtyFourAndRise) {
  for (int bits : {2, 3, 4}) {
    const uint8_t* weights = bptcWeights(bits);
    EXPECT_EQ(weights[0], 0) << bits;
    EXPECT_EQ(weights[(1 << bits) - 1], 64) << bits;
    for (int i = 1; i < (1 << bits); ++i) EXPECT_GT(weights[i], weights[i - 1]) << bits << " " << i;
  }
}
