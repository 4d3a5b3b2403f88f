#include "settings/run_plan.h"

#include "formats/format_tables.h"
#include "pipeline/background_color.h"
#include "pipeline/parse_color.h"
#include "platform/text.h"
#include "settings/format_settings.h"
#include "settings/save_flags.h"

namespace {

// Keyword codes go over as they are: a kind's values are its keyword codes.
RotateStep planRotate(const ConversionSettings& s) {
  return {s.doRotation != 0, static_cast<RotationKind>(s.rotationType), s.rotationAngle,
          rotationBackground(s.rotationBackColor)};
}

ResizeStep planResize(const ConversionSettings& s) {
  return {s.doResize != 0,
          s.resizeWidth,
          static_cast<SizeUnit>(s.resizeWidthUnit),
          s.resizeHeight,
          static_cast<SizeUnit>(s.resizeHeightUnit),
          s.keepAspectRatio != 0,
          static_cast<ResizeScope>(s.resizeType),
          static_cast<ResizeFilter>(s.resizeAlgorithm)};
}

FrameStep planFrame(const ConversionSettings& s) {
  return {s.doFrame != 0,
          FrameInsets{s.frameLeft, s.frameRight, s.frameTop, s.frameBottom},
          parseColor(s.frameLeftColor, 255),
          parseColor(s.frameRightColor, 255),
          parseColor(s.frameTopColor, 255),
          parseColor(s.frameBottomColor, 255),
          s.frameOpacity};
}

Placement textPlacement(const ConversionSettings& s) {
  return {s.wmTextRotation, static_cast<WatermarkBoundary>(s.wmTextBoundary), s.wmTextPosition,
          s.wmTextXOffset, s.wmTextYOffset};
}

Placement picturePlacement(const ConversionSettings& s) {
  return {s.wmImageRotation, static_cast<WatermarkBoundary>(s.wmImageBoundary),
          s.wmImagePosition, s.wmImageXOffset, s.wmImageYOffset};
}

WatermarkStep planWatermark(const ConversionSettings& s) {
  WatermarkStep step;
  step.kind = static_cast<WatermarkKind>(s.watermarkKind);
  step.text = {s.wmText,
               parseColor(s.wmFontColor, 0),
               parseColor(s.wmBackColor, 0),
               s.wmTextOpacity,
               s.wmBackOpacity,
               s.wmFontLeading,
               s.wmTextPadding,
               static_cast<TextAlignment>(s.wmTextAlignment),
               s.wmTextAntialiasing != 0,
               textPlacement(s)};
  step.picture = {s.wmImage, s.wmImageGreyscale != 0, s.wmImageOpacity, picturePlacement(s)};
  if (s.doFrame) step.frame = FrameInsets{s.frameLeft, s.frameRight, s.frameTop, s.frameBottom};
  return step;
}

}  // namespace

ChainPlan planChain(const ConversionSettings& s) {
  ChainPlan plan;
  plan.swizzle = parseSwizzle(s.swizzle).value_or(SwizzleStep{});
  plan.normalMap = static_cast<NormalMapMode>(s.normalMap);
  plan.alpha = {static_cast<AlphaMode>(s.alphaMode)};
  plan.colour = {static_cast<ColourMode>(s.colorspace), static_cast<SourceSpaceChoice>(s.sourceColorspace),
                 static_cast<ToneMap>(s.tonemap), parseExposure(s.exposure).value_or(0.0f)};
  plan.loadMode = static_cast<LoadMode>(s.ddsLoadAs);
  plan.rotate = planRotate(s);
  plan.resize = planResize(s);
  plan.flip = {s.flipHorizontal != 0, s.flipVertical != 0};
  plan.colorCorrection = {s.doColorCorrection != 0, s.brightness, s.contrast, s.gamma,
                          s.invert != 0};
  plan.greyscale = {s.greyscale != 0};
  plan.threshold = {s.doThreshold != 0, s.threshold};
  plan.dither = {s.doDither != 0, static_cast<DitherKind>(s.ditherAlgorithm)};
  plan.frame = planFrame(s);
  plan.watermark = planWatermark(s);
  return plan;
}

BatchPlan planRun(const ConversionSettings& s, const RunTargets& run) {
  // A token stands for its surface whenever its option is named, whatever
  // the value: a user who writes --mipmaps=top and %mip% means level 0.
  const DdsSurfaceChoice surfaces{s.mipmaps == 1,        s.faces == 1,          s.layers == 1,
                                  s.mipmapsNamed != 0,   s.facesNamed != 0,     s.layersNamed != 0};
  const int32_t depth = requestedDepthSetting(s, run.conversion);
  const OutputFormat* format = findOutputFormat(run.conversion);
  BatchPlan plan;
  plan.chain = planChain(s);
  plan.chain.surfaceTokens = surfaces;
  plan.chain.depth = {run.conversion, depth, depth == 0};
  plan.save = {run.conversion, format ? format->code : 0, computeSaveFlags(run.conversion, s), false};
  plan.exactPaletteAt8Bits =
      format && format->exactPaletteWriter && s.bmpColorTable == kColorTableExact;
  plan.naming = {run.outputFolder, s.filenameMask, s.keepSubfolders != 0, run.conversion, surfaces};
  plan.fileTimes = {static_cast<FileTimeRule>(s.fileTimestamp), s.customTimestamp};
  plan.surfaces = surfaces;
  plan.threadCount = run.threadCount;
  plan.verifyOutputs = s.verifyOutputs != 0;
  plan.debugLines = run.debugLines;
  plan.counterInWatermark = s.watermarkKind == kWatermarkText && countIgnoringCase(s.wmText, "%n%") > 0;
  plan.watermarkFont = planWatermarkFont(s);
  plan.hashOutputs = !s.reportFile.empty();
  plan.dryRun = s.dryRun != 0;
  plan.sidecars = s.sidecar != 0;
  // A watermark text with tokens differs from input to input: no two outputs
  // can be the same then.
  plan.dedupe = s.dedupe != 0 &&
                !(s.watermarkKind == kWatermarkText && s.wmText.find('%') != std::string::npos);
  plan.skipUnchanged = s.skipUnchanged != 0;
  plan.recordKey = run.recordKey;
  plan.outputOptions = run.outputOptions;
  return plan;
}

FontRequest planWatermarkFont(const ConversionSettings& s) {
  return {s.wmFont, s.wmFontSize, static_cast<FontStyle>(s.wmFontStyle),
          static_cast<FontEffect>(s.wmFontEffect)};
}
