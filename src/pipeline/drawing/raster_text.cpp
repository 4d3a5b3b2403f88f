#include "pipeline/drawing/raster_text.h"

#include FT_OUTLINE_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <cmath>
#include <vector>

#include "pipeline/drawing/compositing.h"
#include "platform/text.h"

namespace {

struct LineMetrics {
  int32_t ascent = 0;
  int32_t descent = 0;
};

LineMetrics lineMetrics(FT_Face face) {
  const FT_Size_Metrics& metrics = face->size->metrics;
  return {static_cast<int32_t>((metrics.ascender + 63) >> 6),
          static_cast<int32_t>((-metrics.descender + 63) >> 6)};
}

// Loads the glyph of c into the face's slot, hinted for monochrome output,
// with any made-up bold or slant applied. False when the face has no usable
// glyph slot for it (a missing character still loads the face's box glyph).
bool loadGlyph(const WatermarkFont& font, char32_t c) {
  FT_Face face = font.rasterFace();
  const FT_UInt index = FT_Get_Char_Index(face, c);
  if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_MONO) != 0) return false;
  if (font.synthesizeItalic()) FT_GlyphSlot_Oblique(face->glyph);
  if (font.synthesizeBold()) FT_GlyphSlot_Embolden(face->glyph);
  return true;
}

int64_t advancePixels(FT_GlyphSlot slot) { return (slot->advance.x + 32) >> 6; }

bool bitmapPixelSet(const FT_Bitmap& bitmap, unsigned int x, unsigned int y) {
  const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
  if (bitmap.pitch < 0) row = bitmap.buffer + static_cast<ptrdiff_t>(bitmap.rows - 1 - y) * -bitmap.pitch;
  switch (bitmap.pixel_mode) {
    case FT_PIXEL_MODE_MONO:
      return (row[x >> 3] & (0x80 >> (x & 7))) != 0;
    case FT_PIXEL_MODE_GRAY:
      return row[x] >= 128;
    default:
      return false;
  }
}

// Collects the covered pixels of one text as canvas indices, so a pixel that
// two glyphs or a glyph and a stroke share is combined once.
class Coverage {
 public:
  explicit Coverage(const Canvas& canvas) : canvas_(canvas) {}

  void add(int64_t x, int64_t y) {
    if (x < 0 || y < 0 || x >= canvas_.width() || y >= canvas_.height()) return;
    pixels_.push_back(static_cast<size_t>(y) * static_cast<size_t>(canvas_.width()) +
                      static_cast<size_t>(x));
  }

  void addBitmap(const FT_Bitmap& bitmap, int64_t left, int64_t top) {
    for (unsigned int by = 0; by < bitmap.rows; ++by) {
      if (top + by < 0 || top + by >= canvas_.height()) continue;
      for (unsigned int bx = 0; bx < bitmap.width; ++bx) {
        if (bitmapPixelSet(bitmap, bx, by)) add(left + bx, top + by);
      }
    }
  }

  void addStroke(int64_t left, int64_t width, int64_t baseline, const TextDecoration& stroke) {
    const int64_t top = baseline + std::lround(stroke.top);
    const int64_t rows = std::max<int64_t>(1, std::lround(stroke.thickness));
    const int64_t firstX = std::max<int64_t>(left, 0);
    const int64_t lastX = std::min<int64_t>(left + width, canvas_.width());
    for (int64_t y = std::max<int64_t>(top, 0); y < std::min<int64_t>(top + rows, canvas_.height()); ++y) {
      for (int64_t x = firstX; x < lastX; ++x) add(x, y);
    }
  }

  std::vector<size_t> take() {
    std::sort(pixels_.begin(), pixels_.end());
    pixels_.erase(std::unique(pixels_.begin(), pixels_.end()), pixels_.end());
    return std::move(pixels_);
  }

 private:
  const Canvas& canvas_;
  std::vector<size_t> pixels_;
};

// Glyph bitmaps above this many pixels are rendered only where they meet the
// canvas: a glyph of a huge font would otherwise need gigabytes.
constexpr int64_t kWholeGlyphPixels = int64_t{1} << 22;

// Extra pixels around a clipped rendering, so the scan converter decides the
// pixels at the canvas edge with their neighbours in view, as it does for the
// whole glyph.
constexpr int64_t kClipMargin = 2;

// Renders the part of an outline glyph whose pen is at (pen, baseline) that
// falls on the canvas, pixel for pixel as the whole glyph would be rendered:
// the outline is moved by whole pixels only, so the scan converter sees the
// same shape on the same grid. False when the glyph is small enough to be
// rendered whole.
bool addLargeGlyphClipped(FT_GlyphSlot slot, int64_t pen, int64_t baseline, const Canvas& canvas,
                          Coverage& coverage) {
  if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return false;
  FT_BBox box;
  FT_Outline_Get_CBox(&slot->outline, &box);
  const int64_t boxWidth = ((int64_t{box.xMax} + 63) >> 6) - (int64_t{box.xMin} >> 6);
  const int64_t boxHeight = ((int64_t{box.yMax} + 63) >> 6) - (int64_t{box.yMin} >> 6);
  if (boxWidth * boxHeight <= kWholeGlyphPixels) return false;
  // Canvas columns and rows the glyph can reach, with the margin.
  const int64_t left = std::max<int64_t>(pen + (int64_t{box.xMin} >> 6), 0) - kClipMargin;
  const int64_t right = std::min<int64_t>(pen + ((int64_t{box.xMax} + 63) >> 6), canvas.width()) + kClipMargin;
  const int64_t top = std::max<int64_t>(baseline - ((int64_t{box.yMax} + 63) >> 6), 0) - kClipMargin;
  const int64_t bottom = std::min<int64_t>(baseline - (int64_t{box.yMin} >> 6), canvas.height()) + kClipMargin;
  if (right - left <= 2 * kClipMargin || bottom - top <= 2 * kClipMargin) return true;
  FT_Bitmap bitmap{};
  bitmap.width = static_cast<unsigned int>(right - left);
  bitmap.rows = static_cast<unsigned int>(bottom - top);
  bitmap.pitch = static_cast<int>((bitmap.width + 7) / 8);
  bitmap.pixel_mode = FT_PIXEL_MODE_MONO;
  bitmap.num_grays = 2;
  std::vector<unsigned char> bits(static_cast<size_t>(bitmap.pitch) * bitmap.rows);
  bitmap.buffer = bits.data();
  // Canvas pixel (x, y) covers the outline's [x - pen, x - pen + 1) across and
  // [baseline - y - 1, baseline - y) upwards; the bitmap's bottom-left pixel
  // covers [0, 1) in both.
  const FT_Pos shiftX = static_cast<FT_Pos>((pen - left) * 64);
  const FT_Pos shiftY = static_cast<FT_Pos>((bottom - baseline) * 64);
  FT_Outline_Translate(&slot->outline, shiftX, shiftY);
  const bool drawn = FT_Outline_Get_Bitmap(slot->library, &slot->outline, &bitmap) == 0;
  FT_Outline_Translate(&slot->outline, -shiftX, -shiftY);
  if (drawn) coverage.addBitmap(bitmap, left, top);
  return true;
}

}  // namespace

TextSize measureRasterText(const WatermarkFont& font, const std::string& text) {
  FT_Face face = font.rasterFace();
  if (!face) return {};
  const LineMetrics metrics = lineMetrics(face);
  int64_t width = 0;
  for (char32_t c : decodeUtf8(text)) {
    if (loadGlyph(font, c)) width += advancePixels(face->glyph);
  }
  width = std::clamp<int64_t>(width, 0, INT32_MAX);
  return {static_cast<int32_t>(width), metrics.ascent + metrics.descent};
}

RgbaPixel rasterTextPixel(RgbaPixel destination, RgbaPixel text, int32_t backOpacity, int32_t coverage) {
  coverage = std::clamp(coverage, 0, 255);
  if (coverage == 0) return destination;
  const RgbaPixel source{text.r, text.g, text.b, static_cast<uint8_t>(text.a * coverage / 255)};
  RgbaPixel mixed = sourceOver(destination, source, 255);
  if (backOpacity > 191) mixed.a = static_cast<uint8_t>(std::min(backOpacity, 255));
  return mixed;
}

void drawRasterText(Canvas& canvas, const WatermarkFont& font, int64_t x, int64_t y,
                    const std::string& text, RgbaPixel textColor, int32_t backOpacity,
                    int64_t blockRight) {
  FT_Face face = font.rasterFace();
  if (!face || canvas.empty()) return;
  const LineMetrics metrics = lineMetrics(face);
  const int64_t baseline = y + metrics.ascent;
  // No glyph reaches this far from its pen and line box, so glyphs further
  // right or left, or a line further down, cannot touch the canvas.
  const int64_t reach = 4 * (int64_t{metrics.ascent} + metrics.descent) + 64;
  if (y - reach >= canvas.height() || baseline + metrics.descent + reach <= 0) return;
  const int64_t stop = blockRight < 0 ? canvas.width() : blockRight;
  Coverage coverage(canvas);
  int64_t pen = x;
  for (char32_t c : decodeUtf8(text)) {
    if (pen >= stop || pen - reach >= canvas.width()) break;
    if (!loadGlyph(font, c)) continue;
    FT_GlyphSlot slot = face->glyph;
    const int64_t advance = advancePixels(slot);
    if (pen + advance + reach <= 0) {
      // wholly left of the canvas
    } else if (addLargeGlyphClipped(slot, pen, baseline, canvas, coverage)) {
      // drawn where it meets the canvas
    } else if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) == 0) {
      coverage.addBitmap(slot->bitmap, pen + slot->bitmap_left, baseline - slot->bitmap_top);
    }
    pen += advance;
  }
  const int64_t width = pen - x;
  if (font.underline()) coverage.addStroke(x, width, baseline, font.underlineStroke());
  if (font.strikeOut()) coverage.addStroke(x, width, baseline, font.strikeOutStroke());
  for (size_t index : coverage.take()) {
    RgbaPixel& pixel = canvas.row(0)[index];
    pixel = rasterTextPixel(pixel, textColor, backOpacity, 255);
  }
}
