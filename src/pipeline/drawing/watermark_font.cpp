#include "pipeline/drawing/watermark_font.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int32_t kDisplayDpi = 96;
constexpr int32_t kMaxPixelHeight = 16384;

struct FontPatternDestroy {
  void operator()(FcPattern* pattern) const { ::FcPatternDestroy(pattern); }
};
using FontPattern = std::unique_ptr<FcPattern, FontPatternDestroy>;

struct FontSetDestroy {
  void operator()(FcFontSet* set) const { ::FcFontSetDestroy(set); }
};
using FontSet = std::unique_ptr<FcFontSet, FontSetDestroy>;

struct FaceFile {
  std::string path;
  int index = 0;
};

// Every installed face in fontconfig's order of preference for the request:
// the named family first when it (or an alias such as "Arial") exists, then
// the closest substitutes.
std::vector<FaceFile> candidateFaces(const std::string& family, bool bold, bool italic,
                                     int32_t pixelHeight) {
  std::vector<FaceFile> faces;
  FontPattern pattern(FcPatternCreate());
  if (!pattern) return faces;
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddDouble(pattern.get(), FC_PIXEL_SIZE, pixelHeight);
  if (!FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern)) return faces;
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  FontSet set(FcFontSort(nullptr, pattern.get(), FcTrue, nullptr, &result));
  if (!set) return faces;
  for (int i = 0; i < set->nfont; ++i) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) != FcResultMatch || !file) continue;
    int index = 0;
    FcPatternGetInteger(set->fonts[i], FC_INDEX, 0, &index);
    faces.push_back({reinterpret_cast<const char*>(file), index});
  }
  return faces;
}

// The vector faces live in a FreeType library of their own that is never
// released: Cairo keeps recently used fonts in a cache and frees a face's
// FreeType handle whenever it lets go of it, which can be after the watermark
// font itself is gone.
FT_Library vectorLibrary() {
  static FT_Library library = [] {
    FT_Library made = nullptr;
    return FT_Init_FreeType(&made) == 0 ? made : nullptr;
  }();
  return library;
}

void releaseVectorFace(void* face) { FT_Done_Face(static_cast<FT_Face>(face)); }

CairoFontFace makeVectorFace(const FaceFile& file, bool synthesizeBold, bool synthesizeItalic) {
  FT_Library library = vectorLibrary();
  FT_Face face = nullptr;
  if (!library || FT_New_Face(library, file.path.c_str(), file.index, &face) != 0) return nullptr;
  CairoFontFace vector(cairo_ft_font_face_create_for_ft_face(face, FT_LOAD_NO_HINTING));
  static const cairo_user_data_key_t kFaceKey{};
  if (cairo_font_face_status(vector.get()) != CAIRO_STATUS_SUCCESS ||
      cairo_font_face_set_user_data(vector.get(), &kFaceKey, face, releaseVectorFace) !=
          CAIRO_STATUS_SUCCESS) {
    vector.reset();
    FT_Done_Face(face);
    return nullptr;
  }
  unsigned int synthesize = 0;
  if (synthesizeBold) synthesize |= CAIRO_FT_SYNTHESIZE_BOLD;
  if (synthesizeItalic) synthesize |= CAIRO_FT_SYNTHESIZE_OBLIQUE;
  if (synthesize != 0) cairo_ft_font_face_set_synthesize(vector.get(), synthesize);
  return vector;
}

// Stroke positions from the face's tables, scaled to the pixel height.
void readDecorations(FT_Face face, int32_t pixelHeight, TextDecoration* underline,
                     TextDecoration* strikeOut) {
  const double unitsPerEm = face->units_per_EM > 0 ? face->units_per_EM : 1000.0;
  const double scale = pixelHeight / unitsPerEm;
  double thickness = face->underline_thickness > 0 ? face->underline_thickness * scale
                                                   : pixelHeight / 14.0;
  thickness = std::max(thickness, 1.0);
  // The underline position is the stroke's centre, negative below the baseline.
  const double underlineCentre = face->underline_position != 0 ? -face->underline_position * scale
                                                               : pixelHeight * 0.1;
  *underline = {underlineCentre - thickness / 2, thickness};
  double strikeTop = -pixelHeight * 0.3;
  double strikeThickness = thickness;
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
    strikeThickness = std::max(os2->yStrikeoutSize * scale, 1.0);
    strikeTop = -os2->yStrikeoutPosition * scale;
  }
  *strikeOut = {strikeTop, strikeThickness};
}

}  // namespace

// fontconfig leaks a few hundred bytes while it parses its configuration
// files, once per process. The leak checker of sanitizer builds reads this
// list; other builds never call it. It names the library rather than the
// function because the checker's fast stack walk stops inside fontconfig.
// The summary of used suppressions would go to standard error, which the
// program keeps silent.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }

int32_t fontPixelHeight(int32_t points) {
  const int64_t magnitude = std::llabs(int64_t{points});
  const int64_t pixels = (magnitude * kDisplayDpi * 2 + 72) / (72 * 2);
  return static_cast<int32_t>(std::clamp<int64_t>(pixels, 1, kMaxPixelHeight));
}

std::string WatermarkFont::familyName() const {
  return rasterFace_ && rasterFace_->family_name ? rasterFace_->family_name : "";
}

const WatermarkFont* WatermarkFontOnDemand::get() const {
  std::call_once(made_, [this] { font_ = createWatermarkFont(request_); });
  return font_.get();
}

std::unique_ptr<WatermarkFont> createWatermarkFont(const FontRequest& request) {
  auto font = std::make_unique<WatermarkFont>();
  const bool bold = request.style == FontStyle::kBold || request.style == FontStyle::kBoldItalic;
  const bool italic =
      request.style == FontStyle::kItalic || request.style == FontStyle::kBoldItalic;
  font->pixelHeight_ = fontPixelHeight(request.points);
  font->underline_ = request.effect == FontEffect::kUnderline;
  font->strikeOut_ = request.effect == FontEffect::kStrikeOut;

  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return nullptr;
  font->library_.reset(library);

  for (const FaceFile& file : candidateFaces(request.name, bold, italic, font->pixelHeight_)) {
    FT_Face face = nullptr;
    if (FT_New_Face(library, file.path.c_str(), file.index, &face) != 0) continue;
    FreeTypeFace raster(face);
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(font->pixelHeight_)) != 0) continue;
    const bool faceBold = (face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
    const bool faceItalic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
    const bool synthesizeBold = bold && !faceBold;
    const bool synthesizeItalic = italic && !faceItalic;
    CairoFontFace vector = makeVectorFace(file, synthesizeBold, synthesizeItalic);
    if (!vector) continue;
    font->synthesizeBold_ = synthesizeBold;
    font->synthesizeItalic_ = synthesizeItalic;
    readDecorations(face, font->pixelHeight_, &font->underlineStroke_, &font->strikeOutStroke_);
    font->rasterFace_ = std::move(raster);
    font->vectorFace_ = std::move(vector);
    return font;
  }
  return nullptr;
}
