#include "settings/settings_report.h"

#include "formats/format_tables.h"
#include "platform/text.h"
#include "settings/format_settings.h"
#include "settings/keyword_tables.h"

namespace {

void reportSaveOption(const ConversionSettings& settings, const FormatOptionRow& option,
                      DebugReport& report) {
  const int32_t value = formatOptionValue(settings, option.option);
  const int table = formatOptionKeywordTable(option.option);
  if (table >= 0) {
    report.keyword(option.reportLabel, table, value);
  } else {
    report.number(option.reportLabel, value);
  }
}

void reportRotation(const ConversionSettings& s, DebugReport& report) {
  if (!s.doRotation) return;
  report.keyword("Image Rotation Type: ", kRotationTypeTable, s.rotationType);
  report.number("Image Rotation: ", s.rotationAngle);
  report.text("Image Rotation Back Color: ", s.rotationBackColor);
}

std::string sizeWithUnit(int32_t size, uint8_t unit) {
  return std::to_string(size) + " " + KeywordText(kSizeUnitTable, unit);
}

bool reportResize(const ConversionSettings& s, DebugReport& report) {
  if (!s.doResize) return true;
  report.text("Width: ", sizeWithUnit(s.resizeWidth, s.resizeWidthUnit));
  if (s.resizeWidth == 0) return report.fail("Error: Invalid width value");
  report.text("Height: ", sizeWithUnit(s.resizeHeight, s.resizeHeightUnit));
  if (s.resizeHeight == 0) return report.fail("Error: Invalid height value");
  report.number("Keep Aspect Ratio: ", s.keepAspectRatio);
  report.keyword("Image Resize Type: ", kResizeScopeTable, s.resizeType);
  report.keyword("Image Resize Algorithm: ", kResizeFilterTable, s.resizeAlgorithm);
  return true;
}

bool reportToneAdjustment(const ConversionSettings& s, DebugReport& report) {
  if (!s.doColorCorrection) return true;
  report.number("Brightness: ", s.brightness);
  if (s.brightness < -100 || s.brightness > 100) return report.fail("Error: Invalid brightness value");
  report.number("Contrast: ", s.contrast);
  if (s.contrast < -100 || s.contrast > 100) return report.fail("Error: Invalid contrast value");
  report.twoDecimals("Gamma: ", s.gamma);
  // Compared as single-precision values, so 0.01 and 9.99 themselves pass.
  if (s.gamma < 0.01f || s.gamma > 9.99f) return report.fail("Error: Invalid gamma value");
  report.number("Invert: ", s.invert);
  return true;
}

void reportThresholdAndDither(const ConversionSettings& s, DebugReport& report) {
  if (s.doThreshold) report.number("Image Threshold: ", s.threshold);
  if (s.doDither) report.keyword("Image Dithering Algorithm: ", kDitherTable, s.ditherAlgorithm);
}

void reportFrame(const ConversionSettings& s, DebugReport& report) {
  report.keyword("Frame: ", kFrameKindTable, s.doFrame);
  if (s.doFrame != 1) return;
  report.number("Frame left: ", s.frameLeft);
  report.number("Frame right: ", s.frameRight);
  report.number("Frame top: ", s.frameTop);
  report.number("Frame bottom: ", s.frameBottom);
  report.text("Frame left color: ", s.frameLeftColor);
  report.text("Frame right color: ", s.frameRightColor);
  report.text("Frame top color: ", s.frameTopColor);
  report.text("Frame bottom color: ", s.frameBottomColor);
  report.number("Frame opacity: ", s.frameOpacity);
}

// The lines text and image watermarks share, from the boundary on.
void reportPlacement(DebugReport& report, uint8_t boundary, uint8_t position, int32_t x, int32_t y,
                     int32_t rotation, uint8_t size) {
  report.keyword("Watermark boundary: ", kWatermarkBoundaryTable, boundary);
  report.keyword("Watermark position: ", kWatermarkPositionTable, position);
  report.text("Watermark offset (x/y): ", std::to_string(x) + "/" + std::to_string(y));
  report.number("Watermark rotation: ", rotation);
  report.keyword("Watermark size/mode: ", kWatermarkSizeTable, size);
}

void reportTextWatermark(const ConversionSettings& s, DebugReport& report) {
  report.text("Watermark text: ", s.wmText);
  report.text("Watermark font: ", s.wmFont);
  report.number("Watermark font size: ", s.wmFontSize);
  report.number("Watermark font leading: ", s.wmFontLeading);
  report.text("Watermark font color: ", s.wmFontColor);
  report.keyword("Watermark font style: ", kFontStyleTable, s.wmFontStyle);
  report.keyword("Watermark font effect: ", kFontEffectTable, s.wmFontEffect);
  report.number("Watermark text antialiasing: ", s.wmTextAntialiasing);
  report.keyword("Watermark text alignment: ", kTextAlignmentTable, s.wmTextAlignment);
  report.number("Watermark text padding: ", s.wmTextPadding);
  report.number("Watermark text opacity: ", s.wmTextOpacity);
  report.text("Watermark background color: ", s.wmBackColor);
  report.number("Watermark background opacity: ", s.wmBackOpacity);
  reportPlacement(report, s.wmTextBoundary, s.wmTextPosition, s.wmTextXOffset, s.wmTextYOffset,
                  s.wmTextRotation, s.wmTextSize);
}

void reportImageWatermark(const ConversionSettings& s, DebugReport& report) {
  report.text("Watermark image: ", s.wmImage);
  report.number("Watermark greyscale: ", s.wmImageGreyscale);
  report.number("Watermark opacity: ", s.wmImageOpacity);
  reportPlacement(report, s.wmImageBoundary, s.wmImagePosition, s.wmImageXOffset,
                  s.wmImageYOffset, s.wmImageRotation, s.wmImageSize);
}

}  // namespace

bool reportSaveOptions(const ConversionSettings& settings, const std::string& conversion,
                       DebugReport& report) {
  report.keyword("DDS Load As: ", kDdsLoadModeTable, settings.ddsLoadAs);
  // Shown only when asked for, so a run without them reports what it always did.
  if (settings.mipmaps) report.keyword("DDS Mipmaps: ", kMipmapsTable, settings.mipmaps);
  if (settings.faces) report.keyword("DDS Faces: ", kFirstOrAllTable, settings.faces);
  if (settings.layers) report.keyword("DDS Layers: ", kFirstOrAllTable, settings.layers);
  if (settings.normalMap) report.keyword("DDS Normal Map: ", kNormalMapTable, settings.normalMap);
  const OutputFormat* format = findOutputFormat(conversion);
  if (!format) return true;
  const std::string& name = format->extension;
  const int32_t depth = formatOptionValue(settings, format->depthOption);
  report.number(toUpperText(name) + " BPP: ", depth);
  for (const FormatOptionRow& option : format->options) {
    if (!option.reportLabel.empty()) reportSaveOption(settings, option, report);
  }
  if (!isBppAllowed(name, depth)) return report.fail("Error: Invalid " + name + "-bpp value");
  if (format->qualityOption != FormatOption::kNone) {
    const int32_t quality = formatOptionValue(settings, format->qualityOption);
    if (quality < 1 || quality > 100) return report.fail("Error: Invalid " + name + "-quality value");
  }
  return true;
}

bool reportOperations(const ConversionSettings& settings, DebugReport& report) {
  reportRotation(settings, report);
  if (!reportResize(settings, report)) return false;
  report.number("Flip Horizontal: ", settings.flipHorizontal);
  report.number("Flip Vertical: ", settings.flipVertical);
  if (!reportToneAdjustment(settings, report)) return false;
  report.number("Greyscale: ", settings.greyscale);
  reportThresholdAndDither(settings, report);
  reportFrame(settings, report);
  return true;
}

void reportWatermark(const ConversionSettings& settings, DebugReport& report) {
  report.keyword("Watermark: ", kWatermarkKindTable, settings.watermarkKind);
  if (settings.watermarkKind == kWatermarkText) reportTextWatermark(settings, report);
  if (settings.watermarkKind == kWatermarkPicture) reportImageWatermark(settings, report);
}

void reportOutputNaming(const ConversionSettings& settings, DebugReport& report) {
  report.text("Filename Mask: ", settings.filenameMask);
  report.keyword("File Timestamp: ", kFileTimestampTable, settings.fileTimestamp);
  if (settings.fileTimestamp == kFileTimestampCustom) report.number("Custom Timestamp: ", settings.customTimestamp);
  report.number("Keep Subfolders: ", settings.keepSubfolders);
  if (settings.verifyOutputs) report.number("Verify Outputs: ", settings.verifyOutputs);
}
