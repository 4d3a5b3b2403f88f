#pragma once

#include <cairo.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "pipeline/drawing/canvas.h"
#include "pipeline/drawing/watermark_font.h"

// One step of a path text: an absolute point to move or draw a line to, or
// the closing of the current figure.
struct PathStep {
  enum class Kind { kMove, kLine, kClose };
  Kind kind = Kind::kMove;
  double x = 0;
  double y = 0;
  bool operator==(const PathStep&) const = default;
};

// Reads a path text such as "M 0 0 l 10 0 l -2 5 Z": an absolute move M, lines
// l relative to the current point, Z closing the figure, every item separated
// by spaces. Points are returned absolute. Nothing for a malformed text.
std::optional<std::vector<PathStep>> parsePathText(const std::string& text);

// Antialiased vector drawing onto a canvas (Cairo on a premultiplied surface),
// composited source-over. Coordinates are canvas pixels.
class VectorPainter {
 public:
  explicit VectorPainter(cairo_t* context) : context_(context) {}

  void setSourceColor(RgbaPixel color);
  void fillAll();
  void fillRectangle(double x, double y, double width, double height);
  // Fills a path text with the even-odd rule; false when the text is malformed.
  bool fillPath(const std::string& pathText);

  // Text is set in the vector form of the font, at its pixel height.
  void selectFont(const WatermarkFont& font);
  // Advance width of text, trailing spaces included.
  double textWidth(const std::string& text);
  void moveTo(double x, double y);
  // Draws text with the top-left of its line box at the pen.
  void drawText(const std::string& text);

 private:
  cairo_t* context_;
  const WatermarkFont* font_ = nullptr;
  double penX_ = 0;
  double penY_ = 0;
};

// Runs paint on the whole canvas and writes the result back with straight
// alpha. Large canvases are painted in tiles (paint runs once per tile and
// must draw the same each time). False when drawing cannot begin; the canvas
// is then unchanged. The canvas may stand for a part of a larger drawing whose
// top-left is at (originX, originY) of it: paint then uses the coordinates of
// the whole drawing.
bool vectorDraw(Canvas& canvas, const std::function<void(VectorPainter&)>& paint,
                int64_t originX = 0, int64_t originY = 0);
