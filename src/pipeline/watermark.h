#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "formats/bitmap.h"
#include "pipeline/frame.h"
#include "pipeline/watermark_picture.h"
#include "pipeline/watermark_text.h"

// The watermark font, loaded once per run by the preparation pass.
class WatermarkFont;

enum class WatermarkKind : uint8_t { kNone = 0, kText = 1, kPicture = 2 };

struct WatermarkStep {
  WatermarkKind kind = WatermarkKind::kNone;
  TextWatermark text;
  PictureWatermark picture;
  std::optional<FrameInsets> frame;  // the frame drawn before, for the FRAME boundary
};

// Lays the text or picture watermark over the image when the step has one;
// the image always leaves as 24-bit then. width and height are the image's
// size; text is the text watermark's text with its tokens expanded.
Bitmap applyWatermark(Bitmap image, int32_t width, int32_t height, const WatermarkStep& step,
                      const std::string& text, const WatermarkFont* font);
