// Cairo, opened when a run first draws (platform/lazy_call.h): frames and
// watermarks. Cairo brings pixman and the X libraries with it.
#include <cairo-ft.h>
#include <cairo.h>

#include "platform/lazy_call.h"

namespace {

const SharedLibrary& cairoLibrary() {
  static const SharedLibrary library("cairo", 2);
  return library;
}

}  // namespace

PELLUCID_LAZY_CALL(cairoLibrary(), void, cairo_close_path, cairo_t*)
PELLUCID_LAZY_CALL(cairoLibrary(), cairo_t*, cairo_create, cairo_surface_t*)
PELLUCID_LAZY_CALL(cairoLibrary(), void, cairo_destroy, cairo_t*)
PELLUCID_LAZY_CALL(cairoLibrary(), void, cairo_fill, cairo_t*)
PELLUCID_LAZY_CALL(cairoLibrary(), void, cairo_font_extents, cairo_t*, cairo_font_extents_t*)
PELLUCID_LAZY_CALL(cairoLibrary(), void, cairo_font_face_destroy, cairo_font_face_t*)
PELLUCID_LAZY_CALL(cairoLibrary(), cairo_status_t, cairo_font_face_set_user_data,
                   cairo_font_face_t*, const cairo_user_data_key_t*, void*, cairo_destroy_func_t)
PELLUCID_LAZY_CALL(cairoLibrary(), cairo_status_t, cairo_font_face_status, cairo_font_face_t*)
PELLUCID_LAZY_CALL0(cairoLibrary(), cairo_font_options_t*, cairo_font_options_create)
PELLUCID_LAZY_CALL(cairoLibrary(), void, cairo_font_options_destroy, cairo_font_options_t*)
PELLUCID_LAZY_CALL(cairoLibrary(), void, cairo_font_options_set_antialias, cairo_font_options_t*,
                   cairo_antialias_t)
PELLUCID_LAZY_CALL(cairoLibrary(), void, cairo_font_options_set_hint_metrics, cairo_font_options_t*,
                   cairo_hint_metrics_t)
PELLUCID_LAZY_CALL(cairoLibrary(), void, cairo_font_options_set_hint_style, cairo_font_options_t*,
                   cairo_hint_style_t)
PELLUCID_LAZY_CALL(cairoLibrary(), cairo_font_face_t*, cairo_ft_font_face_create_for_ft_face,
                   FT_Face, int)
PELLUCID_LAZY_CALL(cairoLibrary(), void, cairo_ft_font_face_set_synthesize, cairo_font_face_t*,
                   unsigned int)
PELLUCID_LAZY_CALL(cairoLibrary(), cairo_surface_t*, cairo_image_surface_create, cairo_format_t,
                   int, int)
PELLUCID_LAZY_CALL(cairoLibrary(), unsigned char*, cairo_image_surface_get_data, cairo_surface_t*)
PELLUCID_LAZY_CALL(cairoLibrary(), int, cairo_image_surface_get_height, cairo_surface_t*)
PELLUCID_LAZY_CALL(cairoLibrary(), int, cairo_image_surface_get_stride, cairo_surface_t*)
PELLUCID_LAZY_CALL(cairoLibrary(), int, cairo_image_surface_get_width, cairo_surface_t*)
PELLUCID_LAZY_CALL(cairoLibrary(), void, cairo_line_to, cairo_t*, double, double)
PELLUCID_LAZY_CALL(cairoLibrary(), void, cairo_move_to, cairo_t*, double, double)
PELLUCID_LAZY_CALL(cairoLibrary(), void, cairo_new_path, cairo_t*)
PELLUCID_LAZY_CALL(cairoLibrary(), void, cairo_paint, cairo_t*)
PELLUCID_LAZY_CALL(cairoLibrary(), void, cairo_rectangle, cairo_t*, double, double, double, double)
PELLUCID_LAZY_CALL(cairoLibrary(), void, cairo_set_fill_rule, cairo_t*, cairo_fill_rule_t)
PELLUCID_LAZY_CALL(cairoLibrary(), void, cairo_set_font_face, cairo_t*, cairo_font_face_t*)
PELLUCID_LAZY_CALL(cairoLibrary(), void, cairo_set_font_options, cairo_t*,
                   const cairo_font_options_t*)
PELLUCID_LAZY_CALL(cairoLibrary(), void, cairo_set_font_size, cairo_t*, double)
PELLUCID_LAZY_CALL(cairoLibrary(), void, cairo_set_source_rgba, cairo_t*, double, double, double,
                   double)
PELLUCID_LAZY_CALL(cairoLibrary(), void, cairo_show_text, cairo_t*, const char*)
PELLUCID_LAZY_CALL(cairoLibrary(), cairo_status_t, cairo_status, cairo_t*)
PELLUCID_LAZY_CALL(cairoLibrary(), void, cairo_surface_destroy, cairo_surface_t*)
PELLUCID_LAZY_CALL(cairoLibrary(), void, cairo_surface_flush, cairo_surface_t*)
PELLUCID_LAZY_CALL(cairoLibrary(), void, cairo_surface_mark_dirty, cairo_surface_t*)
PELLUCID_LAZY_CALL(cairoLibrary(), cairo_status_t, cairo_surface_status, cairo_surface_t*)
PELLUCID_LAZY_CALL(cairoLibrary(), void, cairo_text_extents, cairo_t*, const char*,
                   cairo_text_extents_t*)
PELLUCID_LAZY_CALL(cairoLibrary(), void, cairo_translate, cairo_t*, double, double)
