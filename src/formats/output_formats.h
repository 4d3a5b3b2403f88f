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

// The reader --verify decodes a format's files with: never the format's writer.
enum class CheckReader : uint8_t {
  kFreeImage,  // FreeImage's reader (OutputCheck::freeImageFormat)
  kLibpng,
  kLibjpeg,
  kLibtiff,    // LogLuv files through FreeImage, which converts their XYZ samples
  kLibjxr,
  kDdsReader,  // the program's own, top level
  kPfmReader,  // ours: FreeImage reads PFM rows upside down
  kBmpReader,  // ours for RLE bitmaps (FreeImage refuses sound RLE8 files), else FreeImage
};

// How a decoded output must match the image that was encoded. "Exact" means
// exact for what the format can hold: the encoded image has already been
// brought to the output's depth (palettes quantised, 16-bit 555/565, 1 bit,
// grey), so its samples are what the file must give back.
enum class VerifyMeasure : uint8_t {
  kExact,      // every sample equal (floats bit for bit; NaN matches NaN)
  kHalfFloat,  // OpenEXR keeps floats as halves: within one half step of the value
  kRgbe,       // RGBE: negatives and NaN as 0, each component within one step of
               // the 8-bit mantissa the pixel's largest component sets
  kPsnr,       // lossy coding: a PSNR of the samples of at least minimumPsnr
};

// PSNR floors of lossy outputs, in dB over the 0..1 (integer) or 0..peak
// (float) samples. A lossy file is checked for being the picture at all, not
// for its quality, which the user chose: measured on the sample and benchmark
// textures, JPEG at quality 1 gives 15.9 dB at worst, WebP at quality 1
// 16.8, JNG 17.8, DXT1 19.7, while an inverted picture gives 3 to 6 and a
// flat one of the mean colour 10 to 15 on busy textures. FreeImage's JPEG
// 2000 writers code at a fixed 16:1 rate, which leaves small high-frequency
// textures at 12.6 dB, so they get 10 dB.
inline constexpr double kLossyMinimumPsnr = 15.0;
inline constexpr double kRateCodedMinimumPsnr = 10.0;

// How --verify checks a format's files.
struct OutputCheck {
  CheckReader reader = CheckReader::kFreeImage;
  int32_t freeImageFormat = -1;  // FreeImage's reader of the format; -1: the row's code
  VerifyMeasure measure = VerifyMeasure::kExact;     // files the options leave lossless
  bool (*lossyWith)(int32_t saveFlags) = nullptr;    // save flags that make a file lossy
  double minimumPsnr = kLossyMinimumPsnr;            // for lossy files
  bool colourOnly = false;           // alpha not compared (DevIL's DDS: DXT1, 1-bit alpha)
  bool invisibleColourFree = false;  // colour not compared where either side is fully
                                     // transparent (lossless WebP may change it, DXT1 blackens it)
};

// What 16 and 8 bits per pixel hold for a format.
enum class SixteenBitLayout : uint8_t { k565, k555 };
// kGreyOnly: the format has no palette, so an 8-bit image with one becomes
// its grey levels too (the indices alone would be written otherwise).
enum class EightBitContent : uint8_t { kPalette, kGrey, kGreyOnly };

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
  bool oneBitIsBlack = false;       // a set bit is black; FreeImage writes the bits as they are
  int32_t cmykFlag = 0;             // save flag of 32-bit CMYK; FreeImage writes those bytes as
                                    // they are, so they must hold C, M, Y, K
  OutputCheck check;                // how --verify reads and compares its files
};

// The 23 output formats, in the order they were added to the program.
std::vector<OutputFormat> buildOutputTable();
