// FreeImage, opened when a run first needs it (platform/lazy_call.h): runs
// that convert nothing (--info, --help, a bad option, an unchanged re-run)
// then never load it and the dozen image libraries it brings. Each function
// the program calls is defined here under its own name and signature.
#include <FreeImage.h>

#include "platform/lazy_call.h"

namespace {

const SharedLibrary& freeImageLibrary() {
  static const SharedLibrary library("freeimage", 3);
  return library;
}

}  // namespace

// Left out of Debian's header (see formats/bitmap.cpp), so declared by this definition.
PELLUCID_LAZY_CALL(freeImageLibrary(), FIBITMAP*, FreeImage_AllocateHeaderForBits, BYTE*, unsigned,
                   FREE_IMAGE_TYPE, int, int, int, unsigned, unsigned, unsigned)
PELLUCID_LAZY_CALL(freeImageLibrary(), BOOL, FreeImage_AdjustColors, FIBITMAP*, double, double,
                   double, BOOL)
PELLUCID_LAZY_CALL(freeImageLibrary(), FIBITMAP*, FreeImage_Allocate, int, int, int, unsigned int,
                   unsigned int, unsigned int)
PELLUCID_LAZY_CALL(freeImageLibrary(), FIBITMAP*, FreeImage_AllocateT, FREE_IMAGE_TYPE, int, int,
                   int, unsigned int, unsigned int, unsigned int)
PELLUCID_LAZY_CALL(freeImageLibrary(), FIBITMAP*, FreeImage_Clone, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), void, FreeImage_CloseMemory, FIMEMORY*)
PELLUCID_LAZY_CALL(freeImageLibrary(), FIBITMAP*, FreeImage_ColorQuantizeEx, FIBITMAP*,
                   FREE_IMAGE_QUANTIZE, int, int, RGBQUAD*)
PELLUCID_LAZY_CALL(freeImageLibrary(), FIBITMAP*, FreeImage_Composite, FIBITMAP*, BOOL, RGBQUAD*,
                   FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), FIBITMAP*, FreeImage_ConvertTo16Bits555, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), FIBITMAP*, FreeImage_ConvertTo16Bits565, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), FIBITMAP*, FreeImage_ConvertTo24Bits, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), FIBITMAP*, FreeImage_ConvertTo32Bits, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), FIBITMAP*, FreeImage_ConvertTo4Bits, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), FIBITMAP*, FreeImage_ConvertTo8Bits, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), FIBITMAP*, FreeImage_ConvertToGreyscale, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), FIBITMAP*, FreeImage_ConvertToRGB16, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), FIBITMAP*, FreeImage_ConvertToRGBAF, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), FIBITMAP*, FreeImage_ConvertToRGBF, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), void, FreeImage_ConvertToRawBits, BYTE*, FIBITMAP*, int,
                   unsigned int, unsigned int, unsigned int, unsigned int, BOOL)
PELLUCID_LAZY_CALL(freeImageLibrary(), FIBITMAP*, FreeImage_Copy, FIBITMAP*, int, int, int, int)
PELLUCID_LAZY_CALL(freeImageLibrary(), FIBITMAP*, FreeImage_Dither, FIBITMAP*, FREE_IMAGE_DITHER)
PELLUCID_LAZY_CALL(freeImageLibrary(), BOOL, FreeImage_FIFSupportsExportBPP, FREE_IMAGE_FORMAT, int)
PELLUCID_LAZY_CALL(freeImageLibrary(), BOOL, FreeImage_FIFSupportsExportType, FREE_IMAGE_FORMAT,
                   FREE_IMAGE_TYPE)
PELLUCID_LAZY_CALL(freeImageLibrary(), BOOL, FreeImage_FlipHorizontal, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), BOOL, FreeImage_FlipVertical, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), unsigned int, FreeImage_GetBPP, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), BYTE*, FreeImage_GetBits, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), FREE_IMAGE_COLOR_TYPE, FreeImage_GetColorType, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), unsigned int, FreeImage_GetColorsUsed, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), unsigned int, FreeImage_GetDotsPerMeterX, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), unsigned int, FreeImage_GetDotsPerMeterY, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), unsigned int, FreeImage_GetGreenMask, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), unsigned int, FreeImage_GetHeight, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), FIICCPROFILE*, FreeImage_GetICCProfile, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), FREE_IMAGE_TYPE, FreeImage_GetImageType, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), BITMAPINFOHEADER*, FreeImage_GetInfoHeader, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), unsigned int, FreeImage_GetLine, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), RGBQUAD*, FreeImage_GetPalette, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), unsigned int, FreeImage_GetPitch, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), BYTE*, FreeImage_GetScanLine, FIBITMAP*, int)
PELLUCID_LAZY_CALL(freeImageLibrary(), unsigned int, FreeImage_GetTransparencyCount, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), BYTE*, FreeImage_GetTransparencyTable, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), unsigned int, FreeImage_GetWidth, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), BOOL, FreeImage_HasPixels, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), BOOL, FreeImage_IsTransparent, FIBITMAP*)
PELLUCID_LAZY_CALL(freeImageLibrary(), FIBITMAP*, FreeImage_LoadFromMemory, FREE_IMAGE_FORMAT,
                   FIMEMORY*, int)
PELLUCID_LAZY_CALL(freeImageLibrary(), FIMEMORY*, FreeImage_OpenMemory, BYTE*, DWORD)
PELLUCID_LAZY_CALL(freeImageLibrary(), BOOL, FreeImage_Paste, FIBITMAP*, FIBITMAP*, int, int, int)
PELLUCID_LAZY_CALL(freeImageLibrary(), FIBITMAP*, FreeImage_Rescale, FIBITMAP*, int, int,
                   FREE_IMAGE_FILTER)
PELLUCID_LAZY_CALL(freeImageLibrary(), FIBITMAP*, FreeImage_Rotate, FIBITMAP*, double, const void*)
PELLUCID_LAZY_CALL(freeImageLibrary(), FIBITMAP*, FreeImage_RotateEx, FIBITMAP*, double, double,
                   double, double, double, BOOL)
PELLUCID_LAZY_CALL(freeImageLibrary(), BOOL, FreeImage_SaveToHandle, FREE_IMAGE_FORMAT, FIBITMAP*,
                   FreeImageIO*, fi_handle, int)
PELLUCID_LAZY_CALL(freeImageLibrary(), BOOL, FreeImage_SeekMemory, FIMEMORY*, long, int)
PELLUCID_LAZY_CALL(freeImageLibrary(), void, FreeImage_SetOutputMessage,
                   FreeImage_OutputMessageFunction)
PELLUCID_LAZY_CALL(freeImageLibrary(), FIBITMAP*, FreeImage_Threshold, FIBITMAP*, BYTE)
PELLUCID_LAZY_CALL(freeImageLibrary(), void, FreeImage_Unload, FIBITMAP*)
