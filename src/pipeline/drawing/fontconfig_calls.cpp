// fontconfig, opened when a run first looks up a watermark font
// (platform/lazy_call.h).
#include <fontconfig/fontconfig.h>

#include "platform/lazy_call.h"

namespace {

const SharedLibrary& fontconfigLibrary() {
  static const SharedLibrary library("fontconfig", 1);
  return library;
}

}  // namespace

PELLUCID_LAZY_CALL(fontconfigLibrary(), FcBool, FcConfigSubstitute, FcConfig*, FcPattern*,
                   FcMatchKind)
PELLUCID_LAZY_CALL(fontconfigLibrary(), void, FcDefaultSubstitute, FcPattern*)
PELLUCID_LAZY_CALL(fontconfigLibrary(), void, FcFontSetDestroy, FcFontSet*)
PELLUCID_LAZY_CALL(fontconfigLibrary(), FcFontSet*, FcFontSort, FcConfig*, FcPattern*, FcBool,
                   FcCharSet**, FcResult*)
PELLUCID_LAZY_CALL(fontconfigLibrary(), FcBool, FcPatternAddDouble, FcPattern*, const char*, double)
PELLUCID_LAZY_CALL(fontconfigLibrary(), FcBool, FcPatternAddInteger, FcPattern*, const char*, int)
PELLUCID_LAZY_CALL(fontconfigLibrary(), FcBool, FcPatternAddString, FcPattern*, const char*,
                   const FcChar8*)
PELLUCID_LAZY_CALL0(fontconfigLibrary(), FcPattern*, FcPatternCreate)
PELLUCID_LAZY_CALL(fontconfigLibrary(), void, FcPatternDestroy, FcPattern*)
PELLUCID_LAZY_CALL(fontconfigLibrary(), FcResult, FcPatternGetInteger, const FcPattern*,
                   const char*, int, int*)
PELLUCID_LAZY_CALL(fontconfigLibrary(), FcResult, FcPatternGetString, const FcPattern*, const char*,
                   int, FcChar8**)
