// libtiff, opened when a run first needs it (platform/lazy_call.h): for the
// TIFF check reader, and for the message handlers that must be in place
// before FreeImage, which writes TIFF through the same library, saves one.
#include <tiffio.h>

#include <cstdarg>

#include "platform/lazy_call.h"

namespace {

const SharedLibrary& tiffLibrary() {
  static const SharedLibrary library("tiff", 6);
  return library;
}

}  // namespace

// Variadic: forwarded to the library's va_list forms.
int TIFFGetField(TIFF* file, uint32_t tag, ...) {
  static const auto call = tiffLibrary().require<decltype(&TIFFVGetField)>("TIFFVGetField");
  va_list arguments;
  va_start(arguments, tag);
  const int result = call(file, tag, arguments);
  va_end(arguments);
  return result;
}

int TIFFGetFieldDefaulted(TIFF* file, uint32_t tag, ...) {
  static const auto call =
      tiffLibrary().require<decltype(&TIFFVGetFieldDefaulted)>("TIFFVGetFieldDefaulted");
  va_list arguments;
  va_start(arguments, tag);
  const int result = call(file, tag, arguments);
  va_end(arguments);
  return result;
}

PELLUCID_LAZY_CALL(tiffLibrary(), TIFF*, TIFFClientOpen, const char*, const char*, thandle_t,
                   TIFFReadWriteProc, TIFFReadWriteProc, TIFFSeekProc, TIFFCloseProc, TIFFSizeProc,
                   TIFFMapFileProc, TIFFUnmapFileProc)
PELLUCID_LAZY_CALL(tiffLibrary(), void, TIFFClose, TIFF*)
PELLUCID_LAZY_CALL(tiffLibrary(), int, TIFFReadRGBAImageOriented, TIFF*, uint32_t, uint32_t,
                   uint32_t*, int, int)
PELLUCID_LAZY_CALL(tiffLibrary(), int, TIFFReadScanline, TIFF*, void*, uint32_t, uint16_t)
PELLUCID_LAZY_CALL(tiffLibrary(), tmsize_t, TIFFScanlineSize, TIFF*)
PELLUCID_LAZY_CALL(tiffLibrary(), TIFFErrorHandler, TIFFSetErrorHandler, TIFFErrorHandler)
PELLUCID_LAZY_CALL(tiffLibrary(), TIFFErrorHandlerExt, TIFFSetErrorHandlerExt, TIFFErrorHandlerExt)
PELLUCID_LAZY_CALL(tiffLibrary(), TIFFErrorHandler, TIFFSetWarningHandler, TIFFErrorHandler)
PELLUCID_LAZY_CALL(tiffLibrary(), TIFFErrorHandlerExt, TIFFSetWarningHandlerExt,
                   TIFFErrorHandlerExt)
