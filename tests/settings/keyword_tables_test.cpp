#include "settings/keyword_tables.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <sstream>

namespace {

// Every table as the user documentation lists it: "KEYWORD=code" in order.
const char* const kListedTables[] = {
    "AUTO=0 BGRA=1 RGBA=2",
    "AUTO=0 8=1 16=2 24=3 48HS=4 48=5",
    "ALL=0 FIRST=1 MIDDLE=2 LAST=3 RANDOM=4",
    "NONE=0 LINEAR=1 AL=2 DRR=3 GD=4",
    "NONE=0 RLE=1 ZIP=1 PIZ=2 PXR24=3 B44=4 ZLIB1=1 ZLIB6=2 ZLIB9=3 CCITTFAX3=1 CCITTFAX4=2 "
    "PACKBITS=3 DEFLATE=4 ADOBEDEFLATE=5 LZW=6 JPEG=7 LOGLUV=8",
    "AUTO=0 EXACT=1",
    "RGB=0 CMYK=1 LAB=2",
    "NONE=0 LOW=1 MEDIUM=2 HIGH=3",
    "STANDARD=0 SIMPLE=1 OPTIMIZED=2 PROGRESSIVE=3",
    "SIMPLE=0 ADVANCED=1",
    "PIXELS=0 PERCENT=1",
    "ALLIMAGES=0 LARGEIMAGES=1",
    "BOX=0 BILINEAR=1 BSPLINE=2 BICUBIC=3 CATMULLROM=4 LANCZOS=5",
    "FS=0 BAYER4=1 BAYER8=2 BAYER16=3 CLUSTER6=4 CLUSTER8=5 CLUSTER16=6",
    "NONE=0 SOLID=1",
    "NONE=0 TEXT=1 IMAGE=2",
    "REGULAR=0 BOLD=1 ITALIC=2 BOLDITALIC=3",
    "NONE=0 UNDERLINE=1 STRIKETHROUGHT=2",
    "LEFT=0 CENTER=1 RIGHT=2",
    "IMAGE=0 FRAME=1",
    "TOPLEFT=0 TOPCENTER=1 TOPRIGHT=2 MIDDLELEFT=3 MIDDLECENTER=4 MIDDLERIGHT=5 BOTTOMLEFT=6 "
    "BOTTOMCENTER=7 BOTTOMRIGHT=8",
    "FIXED=0",
    "CURRENT=0 ORIGINAL=1 CUSTOM=2",
    "TOP=0 ALL=1",
    "FIRST=0 ALL=1",
    "OFF=0 ON=1 AUTO=2",
    "STORED=0 AUTO=1",
    "AUTO=0 SRGB=1 LINEAR=2",
    "CLAMP=0 REINHARD=1 ACES=2",
    "STRAIGHT=0 PREMULTIPLIED=1 DROP=2 SEPARATE=3",
};

}  // namespace

TEST(KeywordCode, EveryListedKeywordGivesItsCode) {
  for (int table = 0; table < 30; ++table) {
    if (table == kFrameKindTable || table == kWatermarkKindTable) continue;
    std::istringstream words(kListedTables[table]);
    std::string word;
    while (words >> word) {
      size_t equals = word.find('=');
      std::string keyword = word.substr(0, equals);
      int32_t code = std::stoi(word.substr(equals + 1));
      EXPECT_EQ(KeywordCode(keyword, table), code) << "table " << table << " " << keyword;
    }
  }
}

TEST(KeywordText, EveryCodeReadsBackAsItsFirstKeywordInLowerCase) {
  for (int table = 0; table < 30; ++table) {
    std::istringstream words(kListedTables[table]);
    std::string word;
    std::map<int32_t, std::string> firstKeyword;
    while (words >> word) {
      size_t equals = word.find('=');
      firstKeyword.emplace(std::stoi(word.substr(equals + 1)), word.substr(0, equals));
    }
    for (const auto& [code, keyword] : firstKeyword) {
      std::string lower;
      for (char c : keyword) lower += static_cast<char>(std::tolower(c));
      EXPECT_EQ(KeywordText(table, code), lower) << "table " << table << " code " << code;
    }
    EXPECT_EQ(KeywordText(table, static_cast<int32_t>(firstKeyword.size()) + 10), "")
        << "table " << table;
  }
}

TEST(KeywordCode, TrimsSpacesAndIgnoresCase) {
  struct Case {
    const char* text;
    int table;
    int32_t code;
  } cases[] = {
      {"bgra", kDdsLoadModeTable, 1},
      {"  RgBa  ", kDdsLoadModeTable, 2},
      {"xyz", kDdsLoadModeTable, 0},
      {"", kDdsLoadModeTable, 0},
      {"BGRA2", kDdsLoadModeTable, 0},
      {"BG RA", kDdsLoadModeTable, 0},
      {"lanczos", kResizeFilterTable, 5},
      {"percent", kSizeUnitTable, 1},
      {"PERCENTS", kSizeUnitTable, 0},
      {"strikethrought", kFontEffectTable, 2},
      {"STRIKETHROUGH", kFontEffectTable, 0},
      {"piz", kCompressionTable, 2},
      {"ZLIB6", kCompressionTable, 2},
      {"logluv", kCompressionTable, 8},
      {"48hs", kRawLoadDepthTable, 4},
      {"bottomright", kWatermarkPositionTable, 8},
      {"custom", kFileTimestampTable, 2},
      {"All", kMipmapsTable, 1},
      {"every", kFirstOrAllTable, 0},
      {"AUTO", kNormalMapTable, 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(KeywordCode(c.text, c.table), c.code) << c.table << " '" << c.text << "'";
  }
}

TEST(KeywordCode, ReportOnlyAndUnknownTablesGiveZero) {
  EXPECT_EQ(KeywordCode("SOLID", kFrameKindTable), 0);
  EXPECT_EQ(KeywordCode("IMAGE", kWatermarkKindTable), 0);
  EXPECT_EQ(KeywordCode("TEXT", kWatermarkKindTable), 0);
  for (int table : {-1, 30, 1000}) {
    EXPECT_EQ(KeywordCode("AUTO", table), 0) << table;
    EXPECT_EQ(KeywordText(table, 0), "") << table;
  }
  // The report-only tables still read back.
  EXPECT_EQ(KeywordText(kFrameKindTable, 1), "solid");
  EXPECT_EQ(KeywordText(kWatermarkKindTable, 2), "image");
}

TEST(KeywordText, CompressionCodesEchoTheFirstKeywordOfTheSharedList) {
  const char* expected[] = {"none", "rle", "piz", "pxr24", "b44", "adobedeflate",
                            "lzw",  "jpeg", "logluv", ""};
  for (int32_t code = 0; code < 10; ++code) {
    EXPECT_EQ(KeywordText(kCompressionTable, code), expected[code]) << code;
  }
  EXPECT_EQ(KeywordText(kCompressionTable, KeywordCode("ZLIB6", kCompressionTable)), "piz");
  EXPECT_EQ(KeywordText(kCompressionTable, -1), "");
}
