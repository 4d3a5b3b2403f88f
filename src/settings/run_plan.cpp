#include "settings/run_plan.h"

#include "pipeline/background_color.h"
#include "pipeline/parse_color.h"

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

}  // namespace

ChainPlan planChain(const ConversionSettings& s) {
  ChainPlan plan;
  plan.loadMode = s.ddsLoadAs;
  plan.rotate = planRotate(s);
  plan.resize = planResize(s);
  plan.flip = {s.flipHorizontal != 0, s.flipVertical != 0};
  plan.colorCorrection = {s.doColorCorrection != 0, s.brightness, s.contrast, s.gamma,
                          s.invert != 0};
  plan.greyscale = {s.greyscale != 0};
  plan.threshold = {s.doThreshold != 0, s.threshold};
  plan.dither = {s.doDither != 0, static_cast<DitherKind>(s.ditherAlgorithm)};
  plan.frame = planFrame(s);
  return plan;
}
