// FreeType, opened when a run first draws watermark text
// (platform/lazy_call.h). Cairo, opened later, binds the same copy, so the
// faces made here are the ones it draws with.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include "platform/lazy_call.h"

namespace {

const SharedLibrary& freeTypeLibrary() {
  static const SharedLibrary library("freetype", 6);
  return library;
}

}  // namespace

PELLUCID_LAZY_CALL(freeTypeLibrary(), FT_Error, FT_Done_Face, FT_Face)
PELLUCID_LAZY_CALL(freeTypeLibrary(), FT_Error, FT_Done_FreeType, FT_Library)
PELLUCID_LAZY_CALL(freeTypeLibrary(), FT_UInt, FT_Get_Char_Index, FT_Face, FT_ULong)
PELLUCID_LAZY_CALL(freeTypeLibrary(), void*, FT_Get_Sfnt_Table, FT_Face, FT_Sfnt_Tag)
PELLUCID_LAZY_CALL(freeTypeLibrary(), void, FT_GlyphSlot_Embolden, FT_GlyphSlot)
PELLUCID_LAZY_CALL(freeTypeLibrary(), void, FT_GlyphSlot_Oblique, FT_GlyphSlot)
PELLUCID_LAZY_CALL(freeTypeLibrary(), FT_Error, FT_Init_FreeType, FT_Library*)
PELLUCID_LAZY_CALL(freeTypeLibrary(), FT_Error, FT_Load_Glyph, FT_Face, FT_UInt, FT_Int32)
PELLUCID_LAZY_CALL(freeTypeLibrary(), FT_Error, FT_New_Face, FT_Library, const char*, FT_Long,
                   FT_Face*)
PELLUCID_LAZY_CALL(freeTypeLibrary(), FT_Error, FT_Outline_Get_Bitmap, FT_Library, FT_Outline*,
                   const FT_Bitmap*)
PELLUCID_LAZY_CALL(freeTypeLibrary(), void, FT_Outline_Get_CBox, const FT_Outline*, FT_BBox*)
PELLUCID_LAZY_CALL(freeTypeLibrary(), void, FT_Outline_Translate, const FT_Outline*, FT_Pos, FT_Pos)
PELLUCID_LAZY_CALL(freeTypeLibrary(), FT_Error, FT_Render_Glyph, FT_GlyphSlot, FT_Render_Mode)
PELLUCID_LAZY_CALL(freeTypeLibrary(), FT_Error, FT_Set_Pixel_Sizes, FT_Face, FT_UInt, FT_UInt)
