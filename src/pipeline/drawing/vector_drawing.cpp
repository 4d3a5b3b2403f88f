#include "pipeline/drawing/vector_drawing.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "pipeline/drawing/cairo_handles.h"
#include "platform/text.h"

namespace {

// Canvases larger than this are painted piece by piece, which keeps the
// premultiplied copy small and stays inside Cairo's limit on surface sides.
constexpr int32_t kTileSide = 2048;

std::vector<std::string_view> splitAtSpaces(std::string_view text) {
  std::vector<std::string_view> items;
  size_t start = 0;
  while (start < text.size()) {
    if (text[start] == ' ') {
      ++start;
      continue;
    }
    size_t end = text.find(' ', start);
    if (end == std::string_view::npos) end = text.size();
    items.push_back(text.substr(start, end - start));
    start = end;
  }
  return items;
}

bool readNumber(std::string_view item, double* value) {
  const char* first = item.data();
  const char* last = item.data() + item.size();
  if (first != last && *first == '+') ++first;
  auto [end, error] = std::from_chars(first, last, *value);
  return error == std::errc() && end == last && std::isfinite(*value);
}

uint8_t premultiply(uint8_t channel, uint8_t alpha) {
  return static_cast<uint8_t>((channel * alpha + 127) / 255);
}

uint8_t unpremultiply(uint8_t channel, uint8_t alpha) {
  return static_cast<uint8_t>(std::min(255, (channel * 255 + alpha / 2) / alpha));
}

// Copies a part of the canvas into the premultiplied ARGB32 surface and keeps
// a copy in loaded, so that pixels the drawing leaves alone can be told apart.
void loadTile(const Canvas& canvas, int32_t left, int32_t top, cairo_surface_t* surface,
              std::vector<uint32_t>& loaded) {
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const int width = cairo_image_surface_get_width(surface);
  const int height = cairo_image_surface_get_height(surface);
  loaded.resize(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    auto* out = reinterpret_cast<uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
    const bool inside = top + y < canvas.height();
    const RgbaPixel* in = inside ? canvas.row(top + y) + left : nullptr;
    for (int x = 0; x < width; ++x) {
      if (!inside || left + x >= canvas.width()) {
        out[x] = 0;
        continue;
      }
      const RgbaPixel p = in[x];
      out[x] = uint32_t{p.a} << 24 | uint32_t{premultiply(p.r, p.a)} << 16 |
               uint32_t{premultiply(p.g, p.a)} << 8 | premultiply(p.b, p.a);
    }
    std::copy(out, out + width, loaded.begin() + static_cast<ptrdiff_t>(y) * width);
  }
  cairo_surface_mark_dirty(surface);
}

// Writes the pixels the drawing changed back over their part of the canvas
// with straight alpha; untouched pixels keep their exact values.
void storeTile(cairo_surface_t* surface, const std::vector<uint32_t>& loaded, int32_t left,
               int32_t top, Canvas& canvas) {
  cairo_surface_flush(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const int tileWidth = cairo_image_surface_get_width(surface);
  const int width = std::min(tileWidth, canvas.width() - left);
  const int height = std::min(cairo_image_surface_get_height(surface), canvas.height() - top);
  for (int y = 0; y < height; ++y) {
    const auto* in = reinterpret_cast<const uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
    const uint32_t* before = loaded.data() + static_cast<ptrdiff_t>(y) * tileWidth;
    RgbaPixel* out = canvas.row(top + y) + left;
    for (int x = 0; x < width; ++x) {
      const uint32_t p = in[x];
      if (p == before[x]) continue;
      const auto a = static_cast<uint8_t>(p >> 24);
      if (a == 0) {
        out[x] = {};
        continue;
      }
      out[x] = {unpremultiply(static_cast<uint8_t>(p >> 16), a),
                unpremultiply(static_cast<uint8_t>(p >> 8), a), unpremultiply(static_cast<uint8_t>(p), a),
                a};
    }
  }
}

}  // namespace

std::optional<std::vector<PathStep>> parsePathText(const std::string& text) {
  std::vector<PathStep> steps;
  const std::vector<std::string_view> items = splitAtSpaces(text);
  bool started = false;
  double x = 0, y = 0, startX = 0, startY = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    const std::string_view command = items[i];
    if (command == "Z" || command == "z") {
      if (!started) return std::nullopt;
      steps.push_back({PathStep::Kind::kClose, startX, startY});
      x = startX, y = startY;
      continue;
    }
    if (command != "M" && command != "m" && command != "L" && command != "l")
      return std::nullopt;
    double first = 0, second = 0;
    if (i + 2 >= items.size()) return std::nullopt;
    if (!readNumber(items[i + 1], &first) || !readNumber(items[i + 2], &second))
      return std::nullopt;
    i += 2;
    const bool relative = command == "m" || command == "l";
    const double nx = relative ? x + first : first;
    const double ny = relative ? y + second : second;
    if (command == "M" || command == "m") {
      steps.push_back({PathStep::Kind::kMove, nx, ny});
      startX = nx, startY = ny, started = true;
    } else {
      if (!started) return std::nullopt;
      steps.push_back({PathStep::Kind::kLine, nx, ny});
    }
    x = nx, y = ny;
  }
  return steps;
}

void VectorPainter::setSourceColor(RgbaPixel color) {
  cairo_set_source_rgba(context_, color.r / 255.0, color.g / 255.0, color.b / 255.0,
                        color.a / 255.0);
}

void VectorPainter::fillAll() { cairo_paint(context_); }

void VectorPainter::fillRectangle(double x, double y, double width, double height) {
  cairo_new_path(context_);
  cairo_rectangle(context_, x, y, width, height);
  cairo_set_fill_rule(context_, CAIRO_FILL_RULE_WINDING);
  cairo_fill(context_);
}

bool VectorPainter::fillPath(const std::string& pathText) {
  const auto steps = parsePathText(pathText);
  if (!steps) return false;
  cairo_new_path(context_);
  for (const PathStep& step : *steps) {
    switch (step.kind) {
      case PathStep::Kind::kMove: cairo_move_to(context_, step.x, step.y); break;
      case PathStep::Kind::kLine: cairo_line_to(context_, step.x, step.y); break;
      case PathStep::Kind::kClose: cairo_close_path(context_); break;
    }
  }
  cairo_set_fill_rule(context_, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_fill(context_);
  return true;
}

void VectorPainter::selectFont(const WatermarkFont& font) {
  font_ = &font;
  cairo_set_font_face(context_, font.vectorFace());
  cairo_set_font_size(context_, font.pixelHeight());
  CairoFontOptions options(cairo_font_options_create());
  cairo_font_options_set_antialias(options.get(), CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(context_, options.get());
}

double VectorPainter::textWidth(const std::string& text) {
  if (!font_) return 0;
  cairo_text_extents_t extents{};
  cairo_text_extents(context_, sanitizeUtf8(text).c_str(), &extents);
  return extents.x_advance;
}

void VectorPainter::moveTo(double x, double y) {
  penX_ = x;
  penY_ = y;
}

void VectorPainter::drawText(const std::string& text) {
  if (!font_) return;
  const std::string valid = sanitizeUtf8(text);
  cairo_font_extents_t fontExtents{};
  cairo_font_extents(context_, &fontExtents);
  const double baseline = penY_ + fontExtents.ascent;
  cairo_new_path(context_);
  cairo_move_to(context_, penX_, baseline);
  cairo_show_text(context_, valid.c_str());
  if (!font_->underline() && !font_->strikeOut()) return;
  const double width = textWidth(valid);
  const TextDecoration stroke =
      font_->underline() ? font_->underlineStroke() : font_->strikeOutStroke();
  fillRectangle(penX_, baseline + stroke.top, width, stroke.thickness);
}

bool vectorDraw(Canvas& canvas, const std::function<void(VectorPainter&)>& paint,
                int64_t originX, int64_t originY) {
  if (canvas.empty()) return false;
  const int32_t tileWidth = std::min(canvas.width(), kTileSide);
  const int32_t tileHeight = std::min(canvas.height(), kTileSide);
  CairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, tileWidth, tileHeight));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return false;
  std::vector<uint32_t> loaded;
  for (int32_t top = 0; top < canvas.height(); top += tileHeight) {
    for (int32_t left = 0; left < canvas.width(); left += tileWidth) {
      loadTile(canvas, left, top, surface.get(), loaded);
      {
        CairoContext context(cairo_create(surface.get()));
        if (cairo_status(context.get()) != CAIRO_STATUS_SUCCESS) return false;
        cairo_translate(context.get(), -static_cast<double>(originX + left),
                        -static_cast<double>(originY + top));
        VectorPainter painter(context.get());
        paint(painter);
      }
      storeTile(surface.get(), loaded, left, top, canvas);
    }
  }
  return true;
}
