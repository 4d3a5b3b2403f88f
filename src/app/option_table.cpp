#include "app/option_table.h"

#include <array>

#include "app/number_parsing.h"
#include "platform/text.h"
#include "settings/keyword_tables.h"

namespace {

using S = ConversionSettings;
using J = ConversionJob;

// Row builders, one per value kind; every builder row is accepted in profiles.
constexpr OptionRow integer(std::string_view name, SettingsInt field, SettingsByte enable = nullptr) {
  OptionRow row;
  row.longName = name;
  row.kind = OptionKind::kInteger;
  row.field = field;
  row.enable = enable;
  row.inProfile = true;
  row.valueHint = "NUM";
  return row;
}

constexpr OptionRow real(std::string_view name, SettingsReal field, SettingsByte enable) {
  OptionRow row;
  row.longName = name;
  row.kind = OptionKind::kReal;
  row.field = field;
  row.enable = enable;
  row.inProfile = true;
  row.valueHint = "NUM";
  return row;
}

constexpr OptionRow keyword(std::string_view name, int table, OptionField field,
                            SettingsByte enable = nullptr) {
  OptionRow row;
  row.longName = name;
  row.kind = OptionKind::kKeyword;
  row.field = field;
  row.keywordTable = table;
  row.enable = enable;
  row.inProfile = true;
  return row;
}

constexpr OptionRow text(std::string_view name, SettingsText field, std::string_view hint,
                         SettingsByte enable = nullptr, uint8_t enableValue = 1) {
  OptionRow row;
  row.longName = name;
  row.kind = OptionKind::kText;
  row.field = field;
  row.enable = enable;
  row.enableValue = enableValue;
  row.inProfile = true;
  row.valueHint = hint;
  return row;
}

constexpr OptionRow flag(std::string_view name, SettingsByte field, uint8_t value = 1,
                         SettingsByte enable = nullptr) {
  OptionRow row;
  row.longName = name;
  row.kind = OptionKind::kFlag;
  row.field = field;
  row.flagValue = value;
  row.enable = enable;
  row.inProfile = true;
  return row;
}

constexpr OptionRow jobText(std::string_view shortName, std::string_view name, JobText field,
                            std::string_view hint, JobByte jobEnable = nullptr) {
  OptionRow row;
  row.shortName = shortName;
  row.longName = name;
  row.kind = OptionKind::kJobText;
  row.field = field;
  row.jobEnable = jobEnable;
  row.valueHint = hint;
  return row;
}

constexpr OptionRow control(std::string_view shortName, std::string_view name, OptionKind kind,
                            std::string_view hint = {}) {
  OptionRow row;
  row.shortName = shortName;
  row.longName = name;
  row.kind = kind;
  row.valueHint = hint;
  return row;
}

constexpr OptionRow filenameMask() {
  OptionRow row = text("--filename-mask", &S::filenameMask, "STR");
  row.profileStripsQuotes = true;
  return row;
}

constexpr auto kOptions = std::to_array<OptionRow>({
    // Input and output
    control("-h", "--help", OptionKind::kHelp)
        .alias("-?")
        .inHelp(HelpSection::kMain, 0, "Display this help and exit"),
    jobText("-i", "--input", &J::inputPath, "FILE", &J::consoleMode)
        .inHelp(HelpSection::kMain, 1, "Set input file/list/folder")
        .about("Input: a DDS file, a list file (.txt or .lst, one file or folder per line) or a folder searched with its subfolders"),
    jobText("-o", "--output", &J::outputFolder, "PATH")
        .inHelp(HelpSection::kMain, 2, "Set output folder")
        .about("Output folder; it must exist. Default: beside the input"),
    jobText("-c", "--conversion", &J::conversion, "STR")
        .inHelp(HelpSection::kMain, 3, "Set output extension, STR = (jpg | bmp | ...)")
        .about("Output format, one of the 23 formats below. Default: bmp"),
    flag("--no-subfolders", &S::keepSubfolders, 0)
        .about("Write every output into the output folder itself instead of mirroring the input's subfolders"),
    control("", "--profile", OptionKind::kProfile, "FILE")
        .inHelp(HelpSection::kAdvanced, 14, "Set configuration file with required settings")
        .about("Read options from the [CLI] group of an INI file at this point of the command line"),
    // Load options
    keyword("--dds-load-as", kDdsLoadModeTable, &S::ddsLoadAs)
        .about("Channel order of DDS input: auto, bgra, or rgba (red and blue exchanged)"),
    keyword("--gif-frame-loading", kFrameLoadingTable, &S::gifFrameLoading)
        .about("Frame of GIF input to load (stored only)"),
    keyword("--ico-frame-loading", kFrameLoadingTable, &S::icoFrameLoading)
        .about("Frame of icon input to load (stored only)"),
    keyword("--psd-color-mode", kColorModeTable, &S::psdColorMode)
        .about("Colour mode of PSD input (stored only)"),
    keyword("--raw-load-as", kRawLoadDepthTable, &S::rawLoadAs)
        .about("Depth of RAW input (stored only)"),
    integer("--raw-header-size", &S::rawHeaderSize)
        .about("Header bytes of RAW input (stored only)"),
    integer("--raw-width", &S::rawWidth)
        .about("Width of RAW input (stored only)"),
    integer("--raw-height", &S::rawHeight)
        .about("Height of RAW input (stored only)"),
    keyword("--raw-tone-mapping", kToneMappingTable, &S::rawToneMapping)
        .about("Tone mapping of RAW input (stored only)"),
    keyword("--tiff-frame-loading", kFrameLoadingTable, &S::tiffFrameLoading)
        .about("Frame of TIFF input to load (stored only)"),
    keyword("--mipmaps", kMipmapsTable, &S::mipmaps, &S::mipmapsNamed)
        .about("Mip levels of DDS input to convert, each to its own file: top, or all")
        .inHelp(HelpSection::kAdvanced, 10, "Convert DDS mip levels: the top one or all"),
    keyword("--faces", kFirstOrAllTable, &S::faces, &S::facesNamed)
        .about("Cube faces of DDS input to convert, each to its own file: first, or all present")
        .inHelp(HelpSection::kAdvanced, 11, "Convert DDS cube faces: the first or all"),
    keyword("--layers", kFirstOrAllTable, &S::layers, &S::layersNamed)
        .about("Array elements or volume depth slices of DDS input to convert: first, or all")
        .inHelp(HelpSection::kAdvanced, 12, "Convert DDS array or volume slices"),
    keyword("--normal-map", kNormalMapTable, &S::normalMap)
        .about("Rebuild blue as the Z of a normal map from red and green: off, on, or auto "
               "(BC5/ATI2 and flagged files)")
        .inHelp(HelpSection::kAdvanced, 13, "Rebuild the Z (blue) of normal maps"),
    // Colour
    keyword("--colorspace", kColorspaceTable, &S::colorspace)
        .about("stored writes the values as stored; auto decodes sRGB sources for float outputs, "
               "encodes linear ones for integer outputs, and resizes and turns in linear light"),
    keyword("--source-colorspace", kSourceColorspaceTable, &S::sourceColorspace)
        .about("Colour space of colour sources with --colorspace=auto: auto (from the pixel "
               "format), srgb or linear; data sources (BC4, BC5, R8, R8G8, normal maps) stay data"),
    keyword("--tonemap", kTonemapTable, &S::tonemap)
        .about("Float sources to integer outputs: clamp to 0..1, reinhard c/(1+c), or aces"),
    text("--exposure", &S::exposure, "EV")
        .about("Multiply the colour of float sources by 2^EV before the tone map, EV = -20..20"),
    keyword("--alpha", kAlphaModeTable, &S::alphaMode)
        .about("Alpha: straight, premultiplied (colour x alpha / 255), drop, or separate "
               "(an 8-bit grey NAME_alpha.EXT beside the colour image)"),
    text("--swizzle", &S::swizzle, "XYZW")
        .about("Sources of red, green, blue and alpha right after loading, each one of "
               "r, g, b, a, 0, 1 (rgba changes nothing)"),
    // Save options
    integer("--bmp-bpp", &S::bmpBpp)
        .about("Bits per pixel of BMP output; 0 picks the depth automatically"),
    keyword("--bmp-compression", kCompressionTable, &S::bmpCompression)
        .about("BMP compression: none or rle"),
    keyword("--bmp-color-table", kColorTableTable, &S::bmpColorTable)
        .about("BMP palette: auto (quantised) or exact (only the colours the image has)"),
    integer("--dds-bpp", &S::ddsBpp)
        .about("Bits per pixel of DDS output; 0 picks the depth automatically"),
    integer("--exr-bpp", &S::exrBpp)
        .about("Bits per pixel of EXR output; 0 picks the depth automatically"),
    keyword("--exr-compression", kCompressionTable, &S::exrCompression)
        .about("EXR compression"),
    integer("--gif-bpp", &S::gifBpp)
        .about("Bits per pixel of GIF output; 0 picks the depth automatically"),
    integer("--hdr-bpp", &S::hdrBpp)
        .about("Bits per pixel of HDR output; 0 picks the depth automatically"),
    integer("--ico-bpp", &S::icoBpp)
        .about("Bits per pixel of ICO output; 0 picks the depth automatically"),
    integer("--j2k-bpp", &S::j2kBpp)
        .about("Bits per pixel of J2K output; 0 picks the depth automatically"),
    integer("--jng-bpp", &S::jngBpp)
        .about("Bits per pixel of JNG output; 0 picks the depth automatically"),
    integer("--jp2-bpp", &S::jp2Bpp)
        .about("Bits per pixel of JP2 output; 0 picks the depth automatically"),
    integer("--jpg-bpp", &S::jpgBpp)
        .about("Bits per pixel of JPG output; 0 picks the depth automatically"),
    integer("--jpg-quality", &S::jpgQuality)
        .about("JPEG quality, 1..100"),
    keyword("--jpg-chroma", kChromaTable, &S::jpgChroma)
        .about("JPEG chroma subsampling"),
    keyword("--jpg-save-as", kJpegSaveModeTable, &S::jpgSaveAs)
        .about("JPEG encoding: standard, simple, optimized or progressive"),
    integer("--jxr-bpp", &S::jxrBpp)
        .about("Bits per pixel of JXR output; 0 picks the depth automatically"),
    integer("--pbm-bpp", &S::pbmBpp)
        .about("Bits per pixel of PBM output; 0 picks the depth automatically"),
    integer("--pcx-bpp", &S::pcxBpp)
        .about("Bits per pixel of PCX output; 0 picks the depth automatically"),
    integer("--pfm-bpp", &S::pfmBpp)
        .about("Bits per pixel of PFM output; 0 picks the depth automatically"),
    integer("--pgm-bpp", &S::pgmBpp)
        .about("Bits per pixel of PGM output; 0 picks the depth automatically"),
    integer("--png-bpp", &S::pngBpp)
        .about("Bits per pixel of PNG output; 0 picks the depth automatically"),
    keyword("--png-compression", kCompressionTable, &S::pngCompression)
        .about("PNG compression: none (the default, large files) or zlib1, zlib6, zlib9"),
    flag("--png-interlaced", &S::pngInterlaced)
        .about("Write interlaced PNG"),
    integer("--ppm-bpp", &S::ppmBpp)
        .about("Bits per pixel of PPM output; 0 picks the depth automatically"),
    integer("--psd-bpp", &S::psdBpp)
        .about("Bits per pixel of PSD output; 0 picks the depth automatically"),
    integer("--tga-bpp", &S::tgaBpp)
        .about("Bits per pixel of TGA output; 0 picks the depth automatically"),
    keyword("--tga-compression", kCompressionTable, &S::tgaCompression)
        .about("TGA compression: none or rle"),
    integer("--tiff-bpp", &S::tiffBpp)
        .about("Bits per pixel of TIFF output; 0 picks the depth automatically"),
    keyword("--tiff-compression", kCompressionTable, &S::tiffCompression)
        .about("TIFF compression"),
    keyword("--tiff-color-mode", kColorModeTable, &S::tiffColorMode)
        .about("TIFF colour mode"),
    integer("--wbmp-bpp", &S::wbmpBpp)
        .about("Bits per pixel of WBMP output; 0 picks the depth automatically"),
    integer("--webp-bpp", &S::webpBpp)
        .about("Bits per pixel of WEBP output; 0 picks the depth automatically"),
    integer("--webp-quality", &S::webpQuality)
        .about("WebP quality, 1..100; 100 is lossless"),
    integer("--xpm-bpp", &S::xpmBpp)
        .about("Bits per pixel of XPM output; 0 picks the depth automatically"),
    // Geometry
    keyword("--rotation-type", kRotationTypeTable, &S::rotationType)
        .about("Rotation: simple (multiples of 90 degrees) or advanced (any angle)"),
    integer("--rotation", &S::rotationAngle, &S::doRotation)
        .about("Rotate by NUM degrees"),
    text("--rotation-back-color", &S::rotationBackColor, "RRGGBB")
        .about("Colour of the corners an advanced rotation uncovers"),
    integer("--width", &S::resizeWidth, &S::doResize)
        .inHelp(HelpSection::kAdvanced, 0, "Set output image width"),
    keyword("--width-unit", kSizeUnitTable, &S::resizeWidthUnit)
        .about("Unit of --width"),
    integer("--height", &S::resizeHeight, &S::doResize)
        .inHelp(HelpSection::kAdvanced, 1, "Set output image height"),
    keyword("--height-unit", kSizeUnitTable, &S::resizeHeightUnit)
        .about("Unit of --height"),
    flag("--keep-aspect-ratio", &S::keepAspectRatio)
        .about("Keep the aspect ratio when resizing"),
    keyword("--resize-type", kResizeScopeTable, &S::resizeType)
        .about("Resize all images, or only those larger than the size given"),
    keyword("--resize-algorithm", kResizeFilterTable, &S::resizeAlgorithm)
        .about("Resampling filter"),
    flag("--flip-horizontal", &S::flipHorizontal)
        .inHelp(HelpSection::kAdvanced, 3, "Flip output image horizontally"),
    flag("--flip-vertical", &S::flipVertical)
        .inHelp(HelpSection::kAdvanced, 4, "Flip output image vertically"),
    // Tone
    integer("--brightness", &S::brightness, &S::doColorCorrection)
        .inHelp(HelpSection::kAdvanced, 5, "Set output image brightness, NUM = -100..100"),
    integer("--contrast", &S::contrast, &S::doColorCorrection)
        .inHelp(HelpSection::kAdvanced, 6, "Set output image contrast, NUM = -100..100"),
    real("--gamma", &S::gamma, &S::doColorCorrection)
        .inHelp(HelpSection::kAdvanced, 7, "Set output image gamma, NUM = 0.01..9.99"),
    flag("--invert", &S::invert, 1, &S::doColorCorrection)
        .inHelp(HelpSection::kAdvanced, 8, "Invert output image"),
    flag("--greyscale", &S::greyscale)
        .inHelp(HelpSection::kAdvanced, 9, "Greyscale output image"),
    integer("--threshold", &S::threshold, &S::doThreshold)
        .about("Turn the image black and white at this level, 0..255"),
    keyword("--dither", kDitherTable, &S::ditherAlgorithm, &S::doDither)
        .about("Dither the image to black and white with this method"),
    // Frame
    integer("--fr-solid-left", &S::frameLeft, &S::doFrame)
        .about("Width in pixels of a solid frame on the left edge"),
    integer("--fr-solid-right", &S::frameRight, &S::doFrame)
        .about("Width in pixels of a solid frame on the right edge"),
    integer("--fr-solid-top", &S::frameTop, &S::doFrame)
        .about("Height in pixels of a solid frame on the top edge"),
    integer("--fr-solid-bottom", &S::frameBottom, &S::doFrame)
        .about("Height in pixels of a solid frame on the bottom edge"),
    text("--fr-solid-left-color", &S::frameLeftColor, "RRGGBB")
        .about("Colour of the left frame edge"),
    text("--fr-solid-right-color", &S::frameRightColor, "RRGGBB")
        .about("Colour of the right frame edge"),
    text("--fr-solid-top-color", &S::frameTopColor, "RRGGBB")
        .about("Colour of the top frame edge"),
    text("--fr-solid-bottom-color", &S::frameBottomColor, "RRGGBB")
        .about("Colour of the bottom frame edge"),
    integer("--fr-solid-opacity", &S::frameOpacity)
        .about("Frame opacity, 0 (transparent)..255 (opaque)"),
    // Text watermark
    text("--wm-text", &S::wmText, "STR", &S::watermarkKind, kWatermarkText)
        .about("Draw this text as a watermark; it may hold the filename-mask tokens"),
    text("--wm-font", &S::wmFont, "STR")
        .about("Font face of the text watermark"),
    integer("--wm-font-size", &S::wmFontSize)
        .about("Font size in points"),
    integer("--wm-font-leading", &S::wmFontLeading)
        .about("Pixels added between text lines (may be negative)"),
    text("--wm-font-color", &S::wmFontColor, "RRGGBB")
        .about("Text colour"),
    keyword("--wm-font-style", kFontStyleTable, &S::wmFontStyle)
        .about("Font style"),
    keyword("--wm-font-effect", kFontEffectTable, &S::wmFontEffect)
        .about("Text effect"),
    flag("--wm-text-antialiasing", &S::wmTextAntialiasing)
        .about("Smooth the watermark text"),
    keyword("--wm-text-alignment", kTextAlignmentTable, &S::wmTextAlignment)
        .about("Alignment of the text lines"),
    integer("--wm-text-padding", &S::wmTextPadding)
        .about("Pixels between the text and its background box"),
    integer("--wm-text-opacity", &S::wmTextOpacity)
        .about("Text opacity, 0..255"),
    text("--wm-back-color", &S::wmBackColor, "RRGGBB")
        .about("Colour of the box behind the text"),
    integer("--wm-back-opacity", &S::wmBackOpacity)
        .about("Opacity of the box behind the text, 0..255"),
    keyword("--wm-text-boundary", kWatermarkBoundaryTable, &S::wmTextBoundary)
        .about("Place the text within the image or within the frame"),
    keyword("--wm-text-position", kWatermarkPositionTable, &S::wmTextPosition)
        .about("Where the text goes"),
    integer("--wm-text-x-offset", &S::wmTextXOffset)
        .about("Horizontal distance in pixels from the chosen position"),
    integer("--wm-text-y-offset", &S::wmTextYOffset)
        .about("Vertical distance in pixels from the chosen position"),
    integer("--wm-text-rotation", &S::wmTextRotation)
        .about("Rotate the text by NUM degrees"),
    keyword("--wm-text-size", kWatermarkSizeTable, &S::wmTextSize)
        .about("Size mode of the text watermark"),
    // Image watermark
    text("--wm-image", &S::wmImage, "FILE", &S::watermarkKind, kWatermarkPicture)
        .about("Draw this picture (BMP, ICO, PNG or JPEG) as a watermark"),
    flag("--wm-image-greyscale", &S::wmImageGreyscale)
        .about("Greyscale the watermark picture"),
    integer("--wm-image-opacity", &S::wmImageOpacity)
        .about("Picture opacity, 0..255"),
    keyword("--wm-image-boundary", kWatermarkBoundaryTable, &S::wmImageBoundary)
        .about("Place the picture within the image or within the frame"),
    keyword("--wm-image-position", kWatermarkPositionTable, &S::wmImagePosition)
        .about("Where the picture goes"),
    integer("--wm-image-x-offset", &S::wmImageXOffset)
        .about("Horizontal distance in pixels from the chosen position"),
    integer("--wm-image-y-offset", &S::wmImageYOffset)
        .about("Vertical distance in pixels from the chosen position"),
    integer("--wm-image-rotation", &S::wmImageRotation)
        .about("Rotate the picture by NUM degrees"),
    keyword("--wm-image-size", kWatermarkSizeTable, &S::wmImageSize)
        .about("Size mode of the picture watermark"),
    // Output files
    filenameMask()
        .inHelp(HelpSection::kAdvanced, 2, "Define output filename format")
        .about("Output file name made of text and the tokens below. Default: %filename%.%ext%"),
    keyword("--file-timestamp", kFileTimestampTable, &S::fileTimestamp)
        .about("Modification time of the outputs: current, original (the input's) or custom"),
    integer("--file-timestamp-custom", &S::customTimestamp)
        .about("Time for --file-timestamp=custom, local seconds since 1970 (default: start of the run)"),
    flag("--verify", &S::verifyOutputs)
        .about("Decode every output again before it replaces anything and compare it with the image that was encoded; a mismatch fails that file and keeps the old output"),
    // Parallel runs
    text("--threads", &S::threads, "NUM")
        .runOnly()
        .about("Files converted at once: 0 (the default) is one per available core; the outputs and the report are the same for every value"),
    text("--shard", &S::shard, "K/N")
        .runOnly()
        .about("Convert only the K-th of N stable parts of the input set (K = 1..N), e.g. one part per machine; runs of different parts may run at once"),
    // Pipelines
    flag("--info", &S::info)
        .runOnly()
        .about("Convert nothing: print one JSON object per input DDS file (path, bytes, format, dx10, width, height, depth, mips, faces, layers, srgb, alpha, normal_map, sha256, error), in input order"),
    text("--report", &S::reportFile, "FILE")
        .runOnly()
        .about("Append one JSON object per input to FILE as each input is finished: input, status (converted, failed, unchanged, duplicate), outputs (path, bytes, sha256), error, of"),
    flag("--skip-unchanged", &S::skipUnchanged)
        .runOnly()
        .about("Skip an input whose record under <output folder>/.pellucid/ shows the same input, options and program version and whose outputs are all still in place; prints \"Files unchanged: n\""),
    flag("--dedupe", &S::dedupe)
        .runOnly()
        .about("Convert inputs of identical bytes once; the other outputs are hard links to the first (copies where linking fails or --file-timestamp=original)"),
    flag("--dry-run", &S::dryRun)
        .runOnly()
        .about("Write nothing and create no folder; print \"Would write: <output>\" for each planned output"),
    flag("--sidecar", &S::sidecar)
        .runOnly()
        .about("Write <output>.json beside each output: the --info keys of its source, mip, face, layer and the options that shaped it"),
    // Run control
    control("-d", "--debug", OptionKind::kDebug)
        .inHelp(HelpSection::kOther, 1, "Print debug information to stdout"),
    control("-q", "--quiet", OptionKind::kQuiet)
        .inHelp(HelpSection::kOther, 0, "Don't print status messages to stdout"),
    control("-p", "--pause", OptionKind::kPause)
        .inHelp(HelpSection::kOther, 2, "Pause at exit"),
    control("-v", "--version", OptionKind::kVersion)
        .inHelp(HelpSection::kOther, 3, "Display version information and exit"),
    flag("--exit-code", &S::exitCode)
        .runOnly()
        .about("Exit status 0 when every file converted, 1 when any failed, 2 when the run did not start"),
    flag("--no-progress", &S::showProgress, 0)
        .runOnly()
        .about("No progress line on standard error"),
});

// Option names are ASCII; upperName is already upper case.
bool sameName(std::string_view rowName, std::string_view upperName) {
  if (rowName.empty() || rowName.size() != upperName.size()) return false;
  for (size_t i = 0; i < rowName.size(); ++i) {
    char c = rowName[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != upperName[i]) return false;
  }
  return true;
}

// Keeps the low 32 bits, as two's complement.
int32_t low32(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }

}  // namespace

std::span<const OptionRow> optionTable() { return kOptions; }

const OptionRow* findOption(std::string_view upperName) {
  for (const OptionRow& row : kOptions) {
    if (sameName(row.shortName, upperName) || sameName(row.aliasName, upperName) ||
        sameName(row.longName, upperName)) {
      return &row;
    }
  }
  return nullptr;
}

const OptionRow* findProfileOption(std::string_view key) {
  std::string upper = toUpperText(key);
  for (const OptionRow& row : kOptions) {
    if (row.inProfile && sameName(row.longName, upper)) return &row;
  }
  return nullptr;
}

void storeOptionValue(const OptionRow& row, std::string_view value, ConversionSettings& settings,
                      ConversionJob& job) {
  if (row.enable) settings.*row.enable = row.enableValue;
  if (row.jobEnable) job.*row.jobEnable = 1;
  switch (row.kind) {
    case OptionKind::kFlag:
      settings.*std::get<SettingsByte>(row.field) = row.flagValue;
      break;
    case OptionKind::kInteger:
      settings.*std::get<SettingsInt>(row.field) = low32(ParseInteger(value));
      break;
    case OptionKind::kReal:
      settings.*std::get<SettingsReal>(row.field) = ParseReal(value);
      break;
    case OptionKind::kKeyword: {
      int32_t code = KeywordCode(value, row.keywordTable);
      if (auto* field = std::get_if<SettingsInt>(&row.field)) {
        settings.**field = code;
      } else {
        settings.*std::get<SettingsByte>(row.field) = static_cast<uint8_t>(code);
      }
      break;
    }
    case OptionKind::kText:
      settings.*std::get<SettingsText>(row.field) = std::string(value);
      break;
    case OptionKind::kJobText:
      job.*std::get<JobText>(row.field) = std::string(value);
      break;
    case OptionKind::kProfile:
    case OptionKind::kDebug:
    case OptionKind::kQuiet:
    case OptionKind::kPause:
    case OptionKind::kHelp:
    case OptionKind::kVersion:
      break;
  }
}

std::string describeOption(const OptionRow& row) {
  std::string hint(row.valueHint);
  if (row.kind == OptionKind::kKeyword) {
    for (const std::string& keyword : KeywordList(row.keywordTable)) {
      if (!hint.empty()) hint += "|";
      hint += keyword;
    }
  }
  std::string longForm(row.longName);
  if (!hint.empty()) longForm += "=" + hint;
  if (row.shortName.empty()) return longForm;
  std::string shortForm(row.shortName);
  if (!hint.empty()) shortForm += " " + hint;
  if (!row.aliasName.empty()) shortForm += ", " + std::string(row.aliasName);
  return shortForm + ", " + longForm;
}
