#pragma once

#include <cstdint>

#include "pipeline/alpha_mode.h"
#include "pipeline/color_correction.h"
#include "pipeline/colour_conversion.h"
#include "pipeline/depth.h"
#include "pipeline/dither.h"
#include "pipeline/flip.h"
#include "pipeline/frame.h"
#include "pipeline/greyscale.h"
#include "pipeline/load_mode.h"
#include "pipeline/name_tokens.h"
#include "pipeline/normal_map.h"
#include "pipeline/resize.h"
#include "pipeline/rotate.h"
#include "pipeline/swizzle.h"
#include "pipeline/threshold.h"
#include "pipeline/watermark.h"

// The parameters of every step of the per-image chain, in chain order. The
// run plan fills it once per run from the settings; each step reads only its
// own part, so a step's header says everything that changes it.
struct ChainPlan {
  SwizzleStep swizzle;  // first of all, on the pixels as decoded
  NormalMapMode normalMap = NormalMapMode::kOff;
  LoadMode loadMode = LoadMode::kAuto;
  AlphaStep alpha;    // drop and separate right after loading, premultiplied after the depth step
  ColourStep colour;  // linear light around the resize, values for integer outputs after it
  RotateStep rotate;
  ResizeStep resize;
  FlipStep flip;
  ColorCorrectionStep colorCorrection;
  GreyscaleStep greyscale;
  ThresholdStep threshold;
  DitherStep dither;
  FrameStep frame;
  WatermarkStep watermark;
  SurfaceTokens surfaceTokens;  // which surface tokens the watermark text expands
  DepthStep depth;              // its extension is the output format ("ico" caps the size)
};
