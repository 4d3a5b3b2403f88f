#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The numbered keyword tables of the command line, shared by the profile
// reader and the debug report.
enum KeywordTable : int {
  kDdsLoadModeTable = 0,
  kRawLoadDepthTable = 1,
  kFrameLoadingTable = 2,
  kToneMappingTable = 3,
  kCompressionTable = 4,
  kColorTableTable = 5,
  kColorModeTable = 6,
  kChromaTable = 7,
  kJpegSaveModeTable = 8,
  kRotationTypeTable = 9,
  kSizeUnitTable = 10,
  kResizeScopeTable = 11,
  kResizeFilterTable = 12,
  kDitherTable = 13,
  kFrameKindTable = 14,      // report only
  kWatermarkKindTable = 15,  // report only
  kFontStyleTable = 16,
  kFontEffectTable = 17,
  kTextAlignmentTable = 18,
  kWatermarkBoundaryTable = 19,
  kWatermarkPositionTable = 20,
  kWatermarkSizeTable = 21,
  kFileTimestampTable = 22,
  kMipmapsTable = 23,
  kFirstOrAllTable = 24,  // faces and layers
  kNormalMapTable = 25,
  kColorspaceTable = 26,
  kSourceColorspaceTable = 27,
  kTonemapTable = 28,
  kAlphaModeTable = 29,
};

// The code of text (trimmed, upper-cased) in table; 0 when nothing matches,
// and always 0 for the report-only tables 14 and 15.
int32_t KeywordCode(std::string_view text, int table);

// The first keyword of table with this code, in lower case; empty when none.
std::string KeywordText(int table, int32_t code);

// Every keyword of table in order, lower case (for the option reference).
std::vector<std::string> KeywordList(int table);
