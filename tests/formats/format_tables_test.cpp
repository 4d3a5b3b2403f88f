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

TEST(FormatTables, OutputListOrderAndCodesMatchTheUserDocumentation) {
  const FormatTables& tables = formatTables();
  EXPECT_EQ(tables.outputExtensions,
            (std::vector<std::string>{"bmp", "dds", "exr", "gif", "hdr", "ico", "j2k", "jng",
                                      "jp2", "jpg", "jxr", "pbm", "pcx", "pfm", "pgm", "png",
                                      "ppm", "psd", "tga", "tiff", "wbmp", "webp", "xpm"}));
  struct Case {
    const char* extension;
    int32_t code;
    const char* depths;
  } cases[] = {{"bmp", 0, "1,4,8,16,24,32"}, {"ico", 1, "1,4,8,16,24,32"}, {"jpg", 2, "8,24"},
               {"jng", 3, "24,32"},           {"pbm", 7, "1"},               {"pgm", 11, "8"},
               {"png", 13, "1,4,8,24,32,48"}, {"ppm", 14, "24,48"},          {"tga", 17, "8,16,24,32"},
               {"tiff", 18, "1,4,8,24,32,48,96,128"}, {"wbmp", 19, "1"},        {"xpm", 23, "24"},
               {"gif", 25, "8"},              {"hdr", 26, "96"},             {"exr", 29, "96,128"},
               {"j2k", 30, "8,24,32,48"},     {"jp2", 31, "8,24,32,48"},     {"pfm", 32, "96"},
               {"webp", 35, "24,32"},         {"jxr", 36, "1,8,16,24,32,48,96"}};
  for (const Case& c : cases) {
    const OutputFormat* format = findOutputFormat(c.extension);
    ASSERT_NE(format, nullptr) << c.extension;
    EXPECT_EQ(format->code, c.code) << c.extension;
    EXPECT_EQ(format->depths, c.depths) << c.extension;
  }
  EXPECT_EQ(kDefaultInputExtensions, std::vector<std::string>{"dds"});
  // An input list that names no format of the table gives one empty entry.
  FormatTables none = buildFormatTables();
  none.inputFormatList = {"xyz"};
  EXPECT_EQ(buildAcceptedInputExtensions(none), std::vector<std::string>{""});
  none.inputFormatList = {"tiff", "dds"};
  EXPECT_EQ(buildAcceptedInputExtensions(none), (std::vector<std::string>{"tiff", "tif", "dds"}));
}
