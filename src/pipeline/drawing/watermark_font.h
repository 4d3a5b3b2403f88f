#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H
#include <cairo.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <type_traits>

#include "pipeline/drawing/cairo_handles.h"

enum class FontStyle : uint8_t { kRegular = 0, kBold = 1, kItalic = 2, kBoldItalic = 3 };
enum class FontEffect : uint8_t { kNone = 0, kUnderline = 1, kStrikeOut = 2 };

// The font a text watermark asks for.
struct FontRequest {
  std::string name = "Arial";  // a family name; fontconfig finds the closest face
  int32_t points = 14;
  FontStyle style = FontStyle::kRegular;
  FontEffect effect = FontEffect::kNone;
};

// Character height in pixels of a font of the given size in points on a 96 dpi
// display, rounded to nearest. Kept within 1..16384 so that a nonsensical size
// still gives a usable font.
int32_t fontPixelHeight(int32_t points);

struct FreeTypeLibraryDone {
  void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
using FreeTypeLibrary = std::unique_ptr<std::remove_pointer_t<FT_Library>, FreeTypeLibraryDone>;

struct FreeTypeFaceDone {
  void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using FreeTypeFace = std::unique_ptr<std::remove_pointer_t<FT_Face>, FreeTypeFaceDone>;

// Where the underline and strike-out strokes lie, in pixels: the offset of the
// stroke's top below the baseline (negative above it) and its thickness.
struct TextDecoration {
  double top = 0;
  double thickness = 0;
};

// The watermark font: one face found by name through fontconfig, in a raster
// form (FreeType, monochrome) and a vector form (Cairo) of the same face, size
// and style. Made once per run by the preparation pass.
class WatermarkFont {
 public:
  WatermarkFont() = default;
  WatermarkFont(const WatermarkFont&) = delete;
  WatermarkFont& operator=(const WatermarkFont&) = delete;

  // The face sized to pixelHeight(), for raster text.
  FT_Face rasterFace() const { return rasterFace_.get(); }
  // The same face for vector text; set its size to pixelHeight().
  cairo_font_face_t* vectorFace() const { return vectorFace_.get(); }

  int32_t pixelHeight() const { return pixelHeight_; }
  // Bold or italic asked for but missing from the face: made up by slanting
  // or thickening the outlines.
  bool synthesizeBold() const { return synthesizeBold_; }
  bool synthesizeItalic() const { return synthesizeItalic_; }
  bool underline() const { return underline_; }
  bool strikeOut() const { return strikeOut_; }
  TextDecoration underlineStroke() const { return underlineStroke_; }
  TextDecoration strikeOutStroke() const { return strikeOutStroke_; }

  // The family of the face that was found ("Liberation Sans" for "Arial").
  std::string familyName() const;

 private:
  friend std::unique_ptr<WatermarkFont> createWatermarkFont(const FontRequest& request);

  FreeTypeLibrary library_;
  FreeTypeFace rasterFace_;
  CairoFontFace vectorFace_;
  int32_t pixelHeight_ = 0;
  bool synthesizeBold_ = false;
  bool synthesizeItalic_ = false;
  bool underline_ = false;
  bool strikeOut_ = false;
  TextDecoration underlineStroke_;
  TextDecoration strikeOutStroke_;
};

// The font of the request. A name that is not installed falls back to the closest face fontconfig
// offers; nullptr only when no face at all can be loaded.
std::unique_ptr<WatermarkFont> createWatermarkFont(const FontRequest& request);

// A font made when the first text is drawn with it rather than when the run
// starts: a run that draws none (every input unchanged) never loads FreeType,
// fontconfig and Cairo. Like a font it serves one thread at a time; get() may
// be called from any thread.
class WatermarkFontOnDemand {
 public:
  explicit WatermarkFontOnDemand(FontRequest request) : request_(std::move(request)) {}

  // The font; nullptr when no face can be loaded (asked once).
  const WatermarkFont* get() const;

 private:
  FontRequest request_;
  mutable std::once_flag made_;
  mutable std::unique_ptr<WatermarkFont> font_;
};
