#pragma once

#include <cstdint>
#include <string>

// The keyword codes the program itself branches on; the other codes only
// pass through to a library or into the report.
constexpr int32_t kColorTableExact = 1;      // bmpColorTable
constexpr int32_t kTiffColorCmyk = 1;        // tiffColorMode
constexpr uint8_t kWatermarkText = 1;        // watermarkKind
constexpr uint8_t kWatermarkPicture = 2;     // watermarkKind
constexpr uint8_t kFileTimestampCustom = 2;  // fileTimestamp

// Every conversion option with its default. The option table and the profile
// reader write these fields; the preparation pass checks and echoes them; the
// pipeline and the batch driver only read them. Flags are bytes holding 0 or 1,
// enumerated settings hold keyword codes, colours are "RRGGBB" texts.
struct ConversionSettings {
  // --- Load options (only ddsLoadAs changes what is loaded; the rest are stored only)
  int32_t ddsLoadAs = 0;         // 0 AUTO, 1 BGRA, 2 RGBA (red/blue exchanged)
  int32_t gifFrameLoading = 0;   // ALL
  int32_t icoFrameLoading = 0;   // ALL
  int32_t tiffFrameLoading = 0;  // ALL
  int32_t psdColorMode = 0;      // RGB
  int32_t rawLoadAs = 0;         // AUTO
  int32_t rawHeaderSize = 0;     // bytes
  int32_t rawWidth = 0;          // pixels
  int32_t rawHeight = 0;         // pixels
  int32_t rawToneMapping = 2;    // AL

  // --- Surfaces of a DDS file and normal maps; each surface chosen is its own output file
  uint8_t mipmaps = 0;    // 0 TOP, 1 ALL mip levels
  uint8_t faces = 0;      // 0 FIRST, 1 ALL cube faces present
  uint8_t layers = 0;     // 0 FIRST, 1 ALL array elements or volume depth slices
  uint8_t normalMap = 0;  // 0 OFF, 1 ON, 2 AUTO: blue rebuilt from red and green after loading

  // --- Colour; the defaults write the stored values as they are
  uint8_t colorspace = 0;        // 0 STORED, 1 AUTO: sRGB and linear light as each side needs
  uint8_t sourceColorspace = 0;  // 0 AUTO (from the pixel format), 1 SRGB, 2 LINEAR
  uint8_t tonemap = 0;           // 0 CLAMP, 1 REINHARD, 2 ACES: float values to integer outputs
  std::string exposure = "0";    // EV as typed: a decimal -20..20
  uint8_t alphaMode = 0;         // 0 STRAIGHT, 1 PREMULTIPLIED, 2 DROP, 3 SEPARATE
  std::string swizzle = "rgba";  // as typed: sources of red, green, blue, alpha (r g b a 0 1)

  // --- Save options; every *Bpp is bits per pixel, 0 = automatic
  int32_t bmpBpp = 0;
  int32_t bmpCompression = 0;  // compression keyword code (NONE)
  int32_t bmpColorTable = 0;   // 0 AUTO, 1 EXACT
  int32_t ddsBpp = 0;
  int32_t exrBpp = 0;
  int32_t exrCompression = 0;
  int32_t gifBpp = 0;
  int32_t hdrBpp = 0;
  int32_t icoBpp = 0;
  int32_t j2kBpp = 0;
  int32_t jngBpp = 0;
  int32_t jp2Bpp = 0;
  int32_t jpgBpp = 0;
  int32_t jpgQuality = 95;  // valid 1..100
  int32_t jpgChroma = 0;    // NONE, LOW, MEDIUM, HIGH
  int32_t jpgSaveAs = 0;    // STANDARD, SIMPLE, OPTIMIZED, PROGRESSIVE
  int32_t jxrBpp = 0;
  int32_t pbmBpp = 0;
  int32_t pcxBpp = 0;
  int32_t pfmBpp = 0;
  int32_t pgmBpp = 0;
  int32_t pngBpp = 0;
  int32_t pngCompression = 0;
  uint8_t pngInterlaced = 0;
  int32_t ppmBpp = 0;
  int32_t psdBpp = 0;
  int32_t tgaBpp = 0;
  int32_t tgaCompression = 0;
  int32_t tiffBpp = 0;
  int32_t tiffCompression = 0;
  int32_t tiffColorMode = 0;  // RGB, CMYK, LAB
  int32_t wbmpBpp = 0;
  int32_t webpBpp = 0;
  int32_t webpQuality = 100;  // valid 1..100; 100 means lossless
  int32_t xpmBpp = 0;

  // --- Geometry
  uint8_t doRotation = 0;
  uint8_t rotationType = 0;  // 0 SIMPLE, 1 ADVANCED
  int32_t rotationAngle = 0;  // whole degrees
  std::string rotationBackColor = "000000";
  uint8_t doResize = 0;
  int32_t resizeWidth = 0;       // in resizeWidthUnit; must be non-zero when doResize
  uint8_t resizeWidthUnit = 0;   // 0 PIXELS, 1 PERCENT
  int32_t resizeHeight = 0;
  uint8_t resizeHeightUnit = 0;
  uint8_t keepAspectRatio = 0;   // see resetSettings
  uint8_t resizeType = 0;        // 0 ALLIMAGES, 1 LARGEIMAGES
  uint8_t resizeAlgorithm = 3;   // BOX, BILINEAR, BSPLINE, BICUBIC, CATMULLROM, LANCZOS
  uint8_t flipHorizontal = 0;
  uint8_t flipVertical = 0;

  // --- Tone
  uint8_t doColorCorrection = 0;  // set by brightness, contrast, gamma, invert
  int32_t brightness = 0;         // -100..100
  int32_t contrast = 0;           // -100..100
  float gamma = 1.0f;             // 0.01..9.99
  uint8_t invert = 0;
  uint8_t greyscale = 0;
  uint8_t doThreshold = 0;
  int32_t threshold = 0;  // only the low 8 bits are used
  uint8_t doDither = 0;
  uint8_t ditherAlgorithm = 0;  // FS, BAYER4, BAYER8, BAYER16, CLUSTER6, CLUSTER8, CLUSTER16

  // --- Frame
  uint8_t doFrame = 0;
  int32_t frameLeft = 0;  // pixels, measured inward from the edge
  int32_t frameRight = 0;
  int32_t frameTop = 0;
  int32_t frameBottom = 0;
  std::string frameLeftColor = "000000";
  std::string frameRightColor = "000000";
  std::string frameTopColor = "000000";
  std::string frameBottomColor = "000000";
  int32_t frameOpacity = 255;  // 0 transparent .. 255 opaque

  // --- Watermark (text or picture)
  uint8_t watermarkKind = 0;  // 0 none, 1 text, 2 picture; the last option given decides
  std::string wmText = "Converted with Quillon";
  std::string wmFontList = "Arial,Tahoma,Verdana";
  std::string wmFont = "Arial";
  int32_t wmFontSize = 14;     // points
  int32_t wmFontLeading = 0;   // pixels added between lines, may be negative
  std::string wmFontColorList = "000000,FFFFFF,FF0000,FF8000,FFFF00,008000,00FFFF,0000FF,8000FF";
  std::string wmFontColor = "FFFFFF";
  uint8_t wmFontStyle = 0;         // REGULAR, BOLD, ITALIC, BOLDITALIC
  uint8_t wmFontEffect = 0;        // NONE, UNDERLINE, STRIKETHROUGHT
  uint8_t wmTextAntialiasing = 0;
  uint8_t wmTextAlignment = 0;     // LEFT, CENTER, RIGHT
  int32_t wmTextPadding = 0;
  int32_t wmTextOpacity = 255;
  std::string wmBackColorList = "000000,FFFFFF,FF0000,FF8000,FFFF00,008000,00FFFF,0000FF,8000FF";
  std::string wmBackColor = "000000";
  int32_t wmBackOpacity = 1;       // the default is 1, not 0
  uint8_t wmTextBoundary = 0;      // IMAGE, FRAME
  uint8_t wmTextPosition = 8;      // TOPLEFT .. BOTTOMRIGHT
  int32_t wmTextXOffset = 10;
  int32_t wmTextYOffset = 10;
  int32_t wmTextRotation = 0;      // degrees
  uint8_t wmTextSize = 0;          // FIXED
  int32_t wmTextScale = 10;        // no option sets it
  std::string wmImage;
  uint8_t wmImageGreyscale = 0;
  int32_t wmImageOpacity = 255;
  uint8_t wmImageBoundary = 0;
  uint8_t wmImagePosition = 8;
  int32_t wmImageXOffset = 10;
  int32_t wmImageYOffset = 10;
  int32_t wmImageRotation = 0;
  uint8_t wmImageSize = 0;
  int32_t wmImageScale = 10;

  // --- Output files
  std::string filenameMask = "%filename%.%ext%";
  uint8_t fileTimestamp = 0;    // 0 CURRENT, 1 ORIGINAL, 2 CUSTOM
  int32_t customTimestamp = 0;  // local seconds since 1970; reset to the start time
  uint8_t keepSubfolders = 1;   // mirror input subfolders under the output folder
  uint8_t verifyOutputs = 0;    // 1: each output is decoded again and compared before it is written

  // --- Run (checked by the preparation pass, never echoed in the report)
  std::string threads;  // --threads as typed: workers, 0 or empty = one per available core
  std::string shard;    // --shard as typed: "K/N" converts the K-th of N parts; empty = all

  // --- Pipelines (never echoed by the debug report)
  uint8_t info = 0;           // --info: print each input's facts as JSON Lines and convert nothing
  std::string reportFile;     // --report: JSON Lines file, one line per input; empty = none
  uint8_t skipUnchanged = 0;  // --skip-unchanged: inputs whose record is up to date are skipped
  uint8_t dedupe = 0;         // --dedupe: inputs of equal bytes are converted once
  uint8_t dryRun = 0;         // --dry-run: name the outputs, write nothing
  uint8_t sidecar = 0;        // --sidecar: "<output>.json" beside each output

  // --- How the run reports itself (never echoed by the debug report)
  uint8_t exitCode = 0;      // 1: the exit status says how the run went (0, 1 or 2)
  uint8_t showProgress = 1;  // progress line on standard error when it is a terminal
};

// Restores every default. The console edition passes true, which leaves
// keepAspectRatio off; customTimestamp takes the local time of the call.
void resetSettings(ConversionSettings& settings, bool forConsole);
