#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Everything the program knows about one output format, in one row: how it
// is written, which depths it takes, what it keeps, and which options of the
// command line shape its file. Adding a format, or a writer of our own, is one
// row here and one writer file.

// The library or writer of ours that encodes a format.
enum class OutputWriter : uint8_t {
  kFreeImage,  // FreeImage, into memory
  kDevil,      // DevIL: psd, pcx and dds
  kJxr,        // libjxr's encoder
  kPng,        // our own PNG writer on libdeflate (formats/writers/png_encoder)
  kXpm,        // ours (formats/writers/xpm_writer): a code for every colour
};

// The options of one format, named apart from where a run keeps them: the
// settings layer maps each to its field (settings/format_settings).
enum class FormatOption : uint8_t {
  kNone,
  // Depth options, one per format ("--bmp-bpp" ...)
  kBmpBpp, kDdsBpp, kExrBpp, kGifBpp, kHdrBpp, kIcoBpp, kJ2kBpp, kJngBpp, kJp2Bpp, kJpgBpp,
  kJxrBpp, kPbmBpp, kPcxBpp, kPfmBpp, kPgmBpp, kPngBpp, kPpmBpp, kPsdBpp, kTgaBpp, kTiffBpp,
  kWbmpBpp, kWebpBpp, kXpmBpp,
  // Encoder options
  kBmpCompression, kBmpColorTable, kExrCompression, kJpgQuality, kJpgChroma, kJpgSaveAs,
  kPngCompression, kPngInterlaced, kTgaCompression, kTiffCompression, kTiffColorMode,
  kWebpQuality,
};

// How an option's value turns into FreeImage save flags.
enum class FlagRule : uint8_t {
  kNone,           // shown in the report, no flag (the bmp colour table)
  kByCode,         // flags[value]; a value the list does not hold adds nothing
  kValue,          // the value itself (JPEG quality)
  kWhenSet,        // setFlag when the value is not 0
  kLosslessAt100,  // WebP: 100 is the lossless flag, below it the quality
};

struct FormatOptionRow {
  std::string_view reportLabel;  // "BMP Compression: "; empty for an unused slot
  FormatOption option = FormatOption::kNone;
  FlagRule rule = FlagRule::kNone;
  std::span<const int32_t> flags;  // kByCode: the flag of each keyword code
  int32_t setFlag = 0;             // kWhenSet, kLosslessAt100

  // The save flags this option adds for its value.
  int32_t saveFlags(int32_t value) const;
};

// What 16 and 8 bits per pixel hold for a format.
enum class SixteenBitLayout : uint8_t { k565, k555 };
enum class EightBitContent : uint8_t { kPalette, kGrey };

struct OutputFormat {
  int32_t code = 0;          // FreeImage format, or the DevIL type for psd, dds, pcx
  std::string extension;     // lower case, the table key
  std::string description;
  std::string depths;        // allowed bits per pixel, ascending, comma separated
  int32_t largestAutomaticDepth = 0;  // the automatic depth stays at or below it (0: any)
  OutputWriter writer = OutputWriter::kFreeImage;
  FormatOption depthOption = FormatOption::kNone;   // its "--<ext>-bpp"
  std::array<FormatOptionRow, 3> options{};         // report lines after the depth, in order
  FormatOption qualityOption = FormatOption::kNone; // must be 1..100 when set
  int32_t baseSaveFlags = 0;                        // flags every file of the format gets
  bool keepsAlpha = false;    // some depth of the list holds an alpha channel
  bool floats = false;        // some depth of the list holds float channels
  SixteenBitLayout sixteenBits = SixteenBitLayout::k565;
  EightBitContent eightBits = EightBitContent::kPalette;
  bool capsIconSize = false;        // images above 128 x 128 are scaled to it
  bool exactPaletteWriter = false;  // 8 bits may go to the exact-palette writer
  bool streamsFromRows = false;     // FreeImage writes it front to back: a file without
                                    // RLE goes from the image's rows straight to disk
  bool rle8Writer = false;          // 8-bit RLE goes to our RLE8 writer (formats/writers/rle_bmp)
};

// The 23 output formats, in the order they were added to the program.
std::vector<OutputFormat> buildOutputTable();
