#include "settings/save_flags.h"

#include <FreeImage.h>

#include <iterator>

namespace {

// Picks row[code] when the code indexes the row, else 0.
template <size_t N>
int32_t byCode(const int32_t (&row)[N], int32_t code) {
  return code >= 0 && static_cast<size_t>(code) < N ? row[code] : 0;
}

constexpr int32_t kBmpFlags[] = {0, BMP_SAVE_RLE};
constexpr int32_t kExrFlags[] = {EXR_NONE, EXR_ZIP, EXR_PIZ, EXR_PXR24, EXR_B44};
constexpr int32_t kJpgChromaFlags[] = {JPEG_SUBSAMPLING_444, JPEG_SUBSAMPLING_422,
                                       JPEG_SUBSAMPLING_420, JPEG_SUBSAMPLING_411};
constexpr int32_t kJpgSaveAsFlags[] = {0, JPEG_BASELINE, JPEG_OPTIMIZE, JPEG_PROGRESSIVE};
constexpr int32_t kPngFlags[] = {PNG_Z_NO_COMPRESSION, PNG_Z_BEST_SPEED,
                                 PNG_Z_DEFAULT_COMPRESSION, PNG_Z_BEST_COMPRESSION};
constexpr int32_t kTgaFlags[] = {0, TARGA_SAVE_RLE};
constexpr int32_t kTiffFlags[] = {TIFF_NONE,    TIFF_CCITTFAX3, TIFF_CCITTFAX4,
                                  TIFF_PACKBITS, TIFF_DEFLATE,  TIFF_ADOBE_DEFLATE,
                                  TIFF_LZW,     TIFF_JPEG,      TIFF_LOGLUV};

}  // namespace

int32_t computeSaveFlags(const std::string& extension, const ConversionSettings& settings) {
  if (extension == "bmp") return byCode(kBmpFlags, settings.bmpCompression);
  if (extension == "exr") return byCode(kExrFlags, settings.exrCompression);
  if (extension == "jpg") {
    return settings.jpgQuality | byCode(kJpgChromaFlags, settings.jpgChroma) |
           byCode(kJpgSaveAsFlags, settings.jpgSaveAs);
  }
  if (extension == "jxr") return JXR_LOSSLESS;
  if (extension == "png") {
    return byCode(kPngFlags, settings.pngCompression) | (settings.pngInterlaced ? PNG_INTERLACED : 0);
  }
  if (extension == "tga") return byCode(kTgaFlags, settings.tgaCompression);
  if (extension == "tiff") {
    return byCode(kTiffFlags, settings.tiffCompression) |
           (settings.tiffColorMode == kTiffColorCmyk ? TIFF_CMYK : 0);
  }
  if (extension == "webp") return settings.webpQuality == 100 ? WEBP_LOSSLESS : settings.webpQuality;
  return 0;
}
