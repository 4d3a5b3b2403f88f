#include "settings/keyword_tables.h"

#include <array>
#include <span>

#include "platform/text.h"

namespace {

struct Keyword {
  const char* text;  // upper case, as typed by the user
  int32_t code;
};

struct Table {
  std::span<const Keyword> keywords;
  bool reportOnly;  // read back by KeywordText only; KeywordCode never matches it
};

constexpr Keyword kDdsLoadMode[] = {{"AUTO", 0}, {"BGRA", 1}, {"RGBA", 2}};
constexpr Keyword kRawLoadDepth[] = {{"AUTO", 0}, {"8", 1},  {"16", 2},
                                     {"24", 3},   {"48HS", 4}, {"48", 5}};
constexpr Keyword kFrameLoading[] = {
    {"ALL", 0}, {"FIRST", 1}, {"MIDDLE", 2}, {"LAST", 3}, {"RANDOM", 4}};
constexpr Keyword kToneMapping[] = {
    {"NONE", 0}, {"LINEAR", 1}, {"AL", 2}, {"DRR", 3}, {"GD", 4}};
// One list for every format's compression option: the code alone is stored and
// means something only together with the output format, so RLE, ZIP, ZLIB1 and
// CCITTFAX3 all give 1. Read back, a code gives the first keyword that has it.
constexpr Keyword kCompression[] = {
    {"NONE", 0},      {"RLE", 1},       {"ZIP", 1},      {"PIZ", 2},
    {"PXR24", 3},     {"B44", 4},       {"ZLIB1", 1},    {"ZLIB6", 2},
    {"ZLIB9", 3},     {"CCITTFAX3", 1}, {"CCITTFAX4", 2}, {"PACKBITS", 3},
    {"DEFLATE", 4},   {"ADOBEDEFLATE", 5}, {"LZW", 6},   {"JPEG", 7},
    {"LOGLUV", 8}};
constexpr Keyword kColorTable[] = {{"AUTO", 0}, {"EXACT", 1}};
constexpr Keyword kColorMode[] = {{"RGB", 0}, {"CMYK", 1}, {"LAB", 2}};
constexpr Keyword kChroma[] = {{"NONE", 0}, {"LOW", 1}, {"MEDIUM", 2}, {"HIGH", 3}};
constexpr Keyword kJpegSaveMode[] = {
    {"STANDARD", 0}, {"SIMPLE", 1}, {"OPTIMIZED", 2}, {"PROGRESSIVE", 3}};
constexpr Keyword kRotationType[] = {{"SIMPLE", 0}, {"ADVANCED", 1}};
constexpr Keyword kSizeUnit[] = {{"PIXELS", 0}, {"PERCENT", 1}};
constexpr Keyword kResizeScope[] = {{"ALLIMAGES", 0}, {"LARGEIMAGES", 1}};
constexpr Keyword kResizeFilter[] = {{"BOX", 0},     {"BILINEAR", 1},   {"BSPLINE", 2},
                                     {"BICUBIC", 3}, {"CATMULLROM", 4}, {"LANCZOS", 5}};
constexpr Keyword kDither[] = {{"FS", 0},       {"BAYER4", 1},   {"BAYER8", 2},
                               {"BAYER16", 3},  {"CLUSTER6", 4}, {"CLUSTER8", 5},
                               {"CLUSTER16", 6}};
constexpr Keyword kFrameKind[] = {{"NONE", 0}, {"SOLID", 1}};
constexpr Keyword kWatermarkKind[] = {{"NONE", 0}, {"TEXT", 1}, {"IMAGE", 2}};
constexpr Keyword kFontStyle[] = {{"REGULAR", 0}, {"BOLD", 1}, {"ITALIC", 2}, {"BOLDITALIC", 3}};
// The keyword users have always typed ends in a T; it stays for compatibility.
constexpr Keyword kFontEffect[] = {{"NONE", 0}, {"UNDERLINE", 1}, {"STRIKETHROUGHT", 2}};
constexpr Keyword kTextAlignment[] = {{"LEFT", 0}, {"CENTER", 1}, {"RIGHT", 2}};
constexpr Keyword kWatermarkBoundary[] = {{"IMAGE", 0}, {"FRAME", 1}};
constexpr Keyword kWatermarkPosition[] = {
    {"TOPLEFT", 0},    {"TOPCENTER", 1},    {"TOPRIGHT", 2},
    {"MIDDLELEFT", 3}, {"MIDDLECENTER", 4}, {"MIDDLERIGHT", 5},
    {"BOTTOMLEFT", 6}, {"BOTTOMCENTER", 7}, {"BOTTOMRIGHT", 8}};
constexpr Keyword kWatermarkSize[] = {{"FIXED", 0}};
constexpr Keyword kFileTimestamp[] = {{"CURRENT", 0}, {"ORIGINAL", 1}, {"CUSTOM", 2}};
constexpr Keyword kMipmaps[] = {{"TOP", 0}, {"ALL", 1}};
constexpr Keyword kFirstOrAll[] = {{"FIRST", 0}, {"ALL", 1}};
constexpr Keyword kNormalMap[] = {{"OFF", 0}, {"ON", 1}, {"AUTO", 2}};
constexpr Keyword kColorspace[] = {{"STORED", 0}, {"AUTO", 1}};
constexpr Keyword kSourceColorspace[] = {{"AUTO", 0}, {"SRGB", 1}, {"LINEAR", 2}};
constexpr Keyword kTonemap[] = {{"CLAMP", 0}, {"REINHARD", 1}, {"ACES", 2}};
constexpr Keyword kAlphaMode[] = {{"STRAIGHT", 0}, {"PREMULTIPLIED", 1}, {"DROP", 2}, {"SEPARATE", 3}};

// Indexed by KeywordTable.
constexpr std::array<Table, 30> kTables = {{
    {kDdsLoadMode, false},   {kRawLoadDepth, false},      {kFrameLoading, false},
    {kToneMapping, false},   {kCompression, false},       {kColorTable, false},
    {kColorMode, false},     {kChroma, false},            {kJpegSaveMode, false},
    {kRotationType, false},  {kSizeUnit, false},          {kResizeScope, false},
    {kResizeFilter, false},  {kDither, false},            {kFrameKind, true},
    {kWatermarkKind, true},  {kFontStyle, false},         {kFontEffect, false},
    {kTextAlignment, false}, {kWatermarkBoundary, false}, {kWatermarkPosition, false},
    {kWatermarkSize, false}, {kFileTimestamp, false},    {kMipmaps, false},
    {kFirstOrAll, false},    {kNormalMap, false},         {kColorspace, false},
    {kSourceColorspace, false}, {kTonemap, false},        {kAlphaMode, false},
}};

const Table* findTable(int table) {
  if (table < 0 || table >= static_cast<int>(kTables.size())) return nullptr;
  return &kTables[static_cast<size_t>(table)];
}

}  // namespace

int32_t KeywordCode(std::string_view text, int table) {
  const Table* found = findTable(table);
  if (found == nullptr || found->reportOnly) return 0;
  std::string key = toUpperText(trimText(text));
  for (const Keyword& keyword : found->keywords) {
    if (key == keyword.text) return keyword.code;
  }
  return 0;
}

std::string KeywordText(int table, int32_t code) {
  const Table* found = findTable(table);
  if (found == nullptr) return std::string();
  for (const Keyword& keyword : found->keywords) {
    if (keyword.code == code) return toLowerText(keyword.text);
  }
  return std::string();
}

std::vector<std::string> KeywordList(int table) {
  std::vector<std::string> keywords;
  const Table* found = findTable(table);
  if (found == nullptr) return keywords;
  for (const Keyword& keyword : found->keywords) keywords.push_back(toLowerText(keyword.text));
  return keywords;
}
