#pragma once

#include <cairo.h>

#include <memory>

// One owner releases each Cairo object it created; borrowed pointers (the
// target of a context, for example) stay raw.
struct CairoDestroy {
  void operator()(cairo_t* context) const { cairo_destroy(context); }
};
using CairoContext = std::unique_ptr<cairo_t, CairoDestroy>;

struct CairoSurfaceDestroy {
  void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using CairoSurface = std::unique_ptr<cairo_surface_t, CairoSurfaceDestroy>;

struct CairoFontFaceDestroy {
  void operator()(cairo_font_face_t* face) const { cairo_font_face_destroy(face); }
};
using CairoFontFace = std::unique_ptr<cairo_font_face_t, CairoFontFaceDestroy>;

struct CairoFontOptionsDestroy {
  void operator()(cairo_font_options_t* options) const { cairo_font_options_destroy(options); }
};
using CairoFontOptions = std::unique_ptr<cairo_font_options_t, CairoFontOptionsDestroy>;
