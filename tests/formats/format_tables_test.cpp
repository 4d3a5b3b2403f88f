#include "formats/format_tables.h"

#include <gtest/gtest.h>

TEST(FormatTables, OutputListHasTwentyThreeFormatsWithBmpFirst) {
  const FormatTables& tables = formatTables();
  ASSERT_EQ(tables.outputExtensions.size(), 23u);
  EXPECT_EQ(tables.outputExtensions.front(), "bmp");
  EXPECT_EQ(tables.outputFormats.size(), 23u);
  for (const std::string& extension : tables.outputExtensions) {
    EXPECT_NE(findOutputFormat(extension), nullptr) << extension;
  }
}

TEST(FormatTables, InputTableHasSeventyNineEntriesAndAcceptsOnlyDds) {
  const FormatTables& tables = formatTables();
  EXPECT_EQ(tables.inputFormats.size(), 79u);
  EXPECT_EQ(buildAcceptedInputExtensions(tables), std::vector<std::string>{"dds"});
  ASSERT_NE(findInputFormat("jpeg"), nullptr);
  EXPECT_EQ(findInputFormat("jpeg")->formatKey, "jpg");
  EXPECT_EQ(findInputFormat("rwl")->description, "Leica Camera RAW Image");
}

TEST(FormatTables, LookupsAreExactAndCaseSensitive) {
  EXPECT_TRUE(isOutputExtension("bmp"));
  EXPECT_FALSE(isOutputExtension("BMP"));
  EXPECT_FALSE(isOutputExtension("jpeg"));
  EXPECT_FALSE(isOutputExtension("tif"));
  EXPECT_EQ(findOutputFormat("psd")->code, 1081);
  EXPECT_EQ(findOutputFormat("dds")->code, 1079);
  EXPECT_EQ(findOutputFormat("pcx")->code, 1064);
  EXPECT_EQ(findOutputFormat("ppm")->code, 14);  // the text form, not PPMRAW
}

TEST(FormatTables, DepthCheckAcceptsZeroAndListedDepthsOnly) {
  struct Case {
    const char* extension;
    int bpp;
    bool allowed;
  } cases[] = {{"bmp", 0, true},   {"bmp", 8, true},  {"bmp", 48, false}, {"jpg", 8, true},
               {"jpg", 32, false}, {"jxr", 96, true}, {"jxr", 4, false},  {"psd", 32, true},
               {"psd", 24, false}, {"pcx", 24, true}, {"wbmp", 1, true},  {"wbmp", 2, false},
               {"nope", 8, false}, {"nope", 0, true}};
  for (const Case& c : cases) {
    EXPECT_EQ(isBppAllowed(c.extension, c.bpp), c.allowed) << c.extension << " " << c.bpp;
  }
  EXPECT_EQ(allowedDepths("png"), (std::vector<int32_t>{1, 4, 8, 24, 32, 48}));
}
