#include "app/option_table.h"

#include <array>

#include "app/keyword_tables.h"
#include "app/number_parsing.h"
#include "platform/text.h"

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
    jobText("-i", "--input", &J::inputPath, "FILE", &J::consoleMode),
    jobText("-o", "--output", &J::outputFolder, "PATH"),
    jobText("-c", "--conversion", &J::conversion, "STR"),
    flag("--no-subfolders", &S::keepSubfolders, 0),
    control("", "--profile", OptionKind::kProfile, "FILE"),
    // Load options
    keyword("--dds-load-as", kDdsLoadModeTable, &S::ddsLoadAs),
    keyword("--gif-frame-loading", kFrameLoadingTable, &S::gifFrameLoading),
    keyword("--ico-frame-loading", kFrameLoadingTable, &S::icoFrameLoading),
    keyword("--psd-color-mode", kColorModeTable, &S::psdColorMode),
    keyword("--raw-load-as", kRawLoadDepthTable, &S::rawLoadAs),
    integer("--raw-header-size", &S::rawHeaderSize),
    integer("--raw-width", &S::rawWidth),
    integer("--raw-height", &S::rawHeight),
    keyword("--raw-tone-mapping", kToneMappingTable, &S::rawToneMapping),
    keyword("--tiff-frame-loading", kFrameLoadingTable, &S::tiffFrameLoading),
    // Save options
    integer("--bmp-bpp", &S::bmpBpp),
    keyword("--bmp-compression", kCompressionTable, &S::bmpCompression),
    keyword("--bmp-color-table", kColorTableTable, &S::bmpColorTable),
    integer("--dds-bpp", &S::ddsBpp),
    integer("--exr-bpp", &S::exrBpp),
    keyword("--exr-compression", kCompressionTable, &S::exrCompression),
    integer("--gif-bpp", &S::gifBpp),
    integer("--hdr-bpp", &S::hdrBpp),
    integer("--ico-bpp", &S::icoBpp),
    integer("--j2k-bpp", &S::j2kBpp),
    integer("--jng-bpp", &S::jngBpp),
    integer("--jp2-bpp", &S::jp2Bpp),
    integer("--jpg-bpp", &S::jpgBpp),
    integer("--jpg-quality", &S::jpgQuality),
    keyword("--jpg-chroma", kChromaTable, &S::jpgChroma),
    keyword("--jpg-save-as", kJpegSaveModeTable, &S::jpgSaveAs),
    integer("--jxr-bpp", &S::jxrBpp),
    integer("--pbm-bpp", &S::pbmBpp),
    integer("--pcx-bpp", &S::pcxBpp),
    integer("--pfm-bpp", &S::pfmBpp),
    integer("--pgm-bpp", &S::pgmBpp),
    integer("--png-bpp", &S::pngBpp),
    keyword("--png-compression", kCompressionTable, &S::pngCompression),
    flag("--png-interlaced", &S::pngInterlaced),
    integer("--ppm-bpp", &S::ppmBpp),
    integer("--psd-bpp", &S::psdBpp),
    integer("--tga-bpp", &S::tgaBpp),
    keyword("--tga-compression", kCompressionTable, &S::tgaCompression),
    integer("--tiff-bpp", &S::tiffBpp),
    keyword("--tiff-compression", kCompressionTable, &S::tiffCompression),
    keyword("--tiff-color-mode", kColorModeTable, &S::tiffColorMode),
    integer("--wbmp-bpp", &S::wbmpBpp),
    integer("--webp-bpp", &S::webpBpp),
    integer("--webp-quality", &S::webpQuality),
    integer("--xpm-bpp", &S::xpmBpp),
    // Geometry
    keyword("--rotation-type", kRotationTypeTable, &S::rotationType),
    integer("--rotation", &S::rotationAngle, &S::doRotation),
    text("--rotation-back-color", &S::rotationBackColor, "RRGGBB"),
    integer("--width", &S::resizeWidth, &S::doResize),
    keyword("--width-unit", kSizeUnitTable, &S::resizeWidthUnit),
    integer("--height", &S::resizeHeight, &S::doResize),
    keyword("--height-unit", kSizeUnitTable, &S::resizeHeightUnit),
    flag("--keep-aspect-ratio", &S::keepAspectRatio),
    keyword("--resize-type", kResizeScopeTable, &S::resizeType),
    keyword("--resize-algorithm", kResizeFilterTable, &S::resizeAlgorithm),
    flag("--flip-horizontal", &S::flipHorizontal),
    flag("--flip-vertical", &S::flipVertical),
    // Tone
    integer("--brightness", &S::brightness, &S::doColorCorrection),
    integer("--contrast", &S::contrast, &S::doColorCorrection),
    real("--gamma", &S::gamma, &S::doColorCorrection),
    flag("--invert", &S::invert, 1, &S::doColorCorrection),
    flag("--greyscale", &S::greyscale),
    integer("--threshold", &S::threshold, &S::doThreshold),
    keyword("--dither", kDitherTable, &S::ditherAlgorithm, &S::doDither),
    // Frame
    integer("--fr-solid-left", &S::frameLeft, &S::doFrame),
    integer("--fr-solid-right", &S::frameRight, &S::doFrame),
    integer("--fr-solid-top", &S::frameTop, &S::doFrame),
    integer("--fr-solid-bottom", &S::frameBottom, &S::doFrame),
    text("--fr-solid-left-color", &S::frameLeftColor, "RRGGBB"),
    text("--fr-solid-right-color", &S::frameRightColor, "RRGGBB"),
    text("--fr-solid-top-color", &S::frameTopColor, "RRGGBB"),
    text("--fr-solid-bottom-color", &S::frameBottomColor, "RRGGBB"),
    integer("--fr-solid-opacity", &S::frameOpacity),
    // Text watermark
    text("--wm-text", &S::wmText, "STR", &S::watermarkKind, 1),
    text("--wm-font", &S::wmFont, "STR"),
    integer("--wm-font-size", &S::wmFontSize),
    integer("--wm-font-leading", &S::wmFontLeading),
    text("--wm-font-color", &S::wmFontColor, "RRGGBB"),
    keyword("--wm-font-style", kFontStyleTable, &S::wmFontStyle),
    keyword("--wm-font-effect", kFontEffectTable, &S::wmFontEffect),
    flag("--wm-text-antialiasing", &S::wmTextAntialiasing),
    keyword("--wm-text-alignment", kTextAlignmentTable, &S::wmTextAlignment),
    integer("--wm-text-padding", &S::wmTextPadding),
    integer("--wm-text-opacity", &S::wmTextOpacity),
    text("--wm-back-color", &S::wmBackColor, "RRGGBB"),
    integer("--wm-back-opacity", &S::wmBackOpacity),
    keyword("--wm-text-boundary", kWatermarkBoundaryTable, &S::wmTextBoundary),
    keyword("--wm-text-position", kWatermarkPositionTable, &S::wmTextPosition),
    integer("--wm-text-x-offset", &S::wmTextXOffset),
    integer("--wm-text-y-offset", &S::wmTextYOffset),
    integer("--wm-text-rotation", &S::wmTextRotation),
    keyword("--wm-text-size", kWatermarkSizeTable, &S::wmTextSize),
    // Image watermark
    text("--wm-image", &S::wmImage, "FILE", &S::watermarkKind, 2),
    flag("--wm-image-greyscale", &S::wmImageGreyscale),
    integer("--wm-image-opacity", &S::wmImageOpacity),
    keyword("--wm-image-boundary", kWatermarkBoundaryTable, &S::wmImageBoundary),
    keyword("--wm-image-position", kWatermarkPositionTable, &S::wmImagePosition),
    integer("--wm-image-x-offset", &S::wmImageXOffset),
    integer("--wm-image-y-offset", &S::wmImageYOffset),
    integer("--wm-image-rotation", &S::wmImageRotation),
    keyword("--wm-image-size", kWatermarkSizeTable, &S::wmImageSize),
    // Output files
    filenameMask(),
    keyword("--file-timestamp", kFileTimestampTable, &S::fileTimestamp),
    integer("--file-timestamp-custom", &S::customTimestamp),
    // Parallel runs
    text("--threads", &S::threads, "NUM"),
    text("--shard", &S::shard, "K/N"),
    // Run control
    control("-d", "--debug", OptionKind::kDebug),
    control("-q", "--quiet", OptionKind::kQuiet),
    control("-p", "--pause", OptionKind::kPause),
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
    if (sameName(row.shortName, upperName) || sameName(row.longName, upperName)) return &row;
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
  return shortForm + ", " + longForm;
}
