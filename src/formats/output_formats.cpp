#include "formats/output_formats.h"

#include <FreeImage.h>

namespace {

// FreeImage format codes and DevIL image types of the output formats.
constexpr int32_t kFifBmp = 0, kFifIco = 1, kFifJpeg = 2, kFifJng = 3, kFifPbm = 7,
                  kFifPgm = 11, kFifPng = 13, kFifPpm = 14, kFifTarga = 17, kFifTiff = 18,
                  kFifWbmp = 19, kFifXpm = 23, kFifGif = 25, kFifHdr = 26, kFifExr = 29,
                  kFifJ2k = 30, kFifJp2 = 31, kFifPfm = 32, kFifWebp = 35, kFifJxr = 36;
constexpr int32_t kIlPcx = 1064, kIlDds = 1079, kIlPsd = 1081;

// Save flags by keyword code, in the order of each keyword list.
constexpr int32_t kBmpCompressionFlags[] = {0, BMP_SAVE_RLE};
constexpr int32_t kExrCompressionFlags[] = {EXR_NONE, EXR_ZIP, EXR_PIZ, EXR_PXR24, EXR_B44};
constexpr int32_t kJpgChromaFlags[] = {JPEG_SUBSAMPLING_444, JPEG_SUBSAMPLING_422,
                                       JPEG_SUBSAMPLING_420, JPEG_SUBSAMPLING_411};
constexpr int32_t kJpgSaveAsFlags[] = {0, JPEG_BASELINE, JPEG_OPTIMIZE, JPEG_PROGRESSIVE};
constexpr int32_t kPngCompressionFlags[] = {PNG_Z_NO_COMPRESSION, PNG_Z_BEST_SPEED,
                                            PNG_Z_DEFAULT_COMPRESSION, PNG_Z_BEST_COMPRESSION};
constexpr int32_t kTgaCompressionFlags[] = {0, TARGA_SAVE_RLE};
constexpr int32_t kTiffCompressionFlags[] = {TIFF_NONE,     TIFF_CCITTFAX3, TIFF_CCITTFAX4,
                                             TIFF_PACKBITS, TIFF_DEFLATE,   TIFF_ADOBE_DEFLATE,
                                             TIFF_LZW,      TIFF_JPEG,      TIFF_LOGLUV};
constexpr int32_t kTiffColorModeFlags[] = {0, TIFF_CMYK};  // rgb, cmyk; lab adds nothing

using O = FormatOption;
using R = FlagRule;
using C = CheckReader;
using M = VerifyMeasure;

constexpr int32_t kFifPcx = 10, kFifPsd = 20;  // FreeImage's readers of DevIL's outputs
constexpr int32_t kTiffCompressionMask = 0x1FF00;

bool lossyWebp(int32_t flags) { return (flags & WEBP_LOSSLESS) == 0; }
// FreeImage's JPEG 2000 writers code at 16:1 unless asked for 1:1; the program never asks.
bool lossyJpegTwoThousand(int32_t flags) { return flags != 1; }
bool lossyTiff(int32_t flags) {
  const int32_t compression = flags & kTiffCompressionMask;
  return compression == TIFF_JPEG || compression == TIFF_LOGLUV;
}
bool lossyExr(int32_t flags) { return (flags & EXR_B44) != 0; }

OutputFormat checked(OutputFormat f, CheckReader reader, VerifyMeasure measure = M::kExact) {
  f.check.reader = reader;
  f.check.measure = measure;
  return f;
}

OutputFormat row(int32_t code, const char* extension, const char* description, const char* depths,
                 FormatOption depthOption) {
  OutputFormat format;
  format.code = code;
  format.extension = extension;
  format.description = description;
  format.depths = depths;
  format.depthOption = depthOption;
  return format;
}

OutputFormat bmp() {
  OutputFormat f = row(kFifBmp, "bmp", "Windows or OS/2 Bitmap", "1,4,8,16,24,32", O::kBmpBpp);
  f.options = {{{"BMP Compression: ", O::kBmpCompression, R::kByCode, kBmpCompressionFlags},
                {"BMP Color Table: ", O::kBmpColorTable, R::kNone}}};
  f.keepsAlpha = true;
  f.exactPaletteWriter = true;
  f.check.reader = C::kBmpReader;
  f.streamsFromRows = true;
  f.rle8Writer = true;
  return f;
}

OutputFormat exr() {
  OutputFormat f = row(kFifExr, "exr", "ILM OpenEXR", "96,128", O::kExrBpp);
  f.options = {{{"EXR Compression: ", O::kExrCompression, R::kByCode, kExrCompressionFlags}}};
  f.keepsAlpha = true;  // at 128
  f.floats = true;
  f.check.measure = M::kHalfFloat;  // FreeImage writes halves
  f.check.lossyWith = lossyExr;
  f.largestAutomaticDepth = 96;  // float RGBA only when asked for
  f.cmykFlag = TIFF_CMYK;
  return f;
}

OutputFormat ico() {
  OutputFormat f = row(kFifIco, "ico", "Windows Icon", "1,4,8,16,24,32", O::kIcoBpp);
  f.keepsAlpha = true;
  f.sixteenBits = SixteenBitLayout::k555;
  f.capsIconSize = true;
  return f;
}

OutputFormat jpegTwoThousand(int32_t code, const char* extension, const char* description,
                             FormatOption depthOption) {
  OutputFormat f = row(code, extension, description, "8,24,32,48", depthOption);
  f.keepsAlpha = true;
  f.eightBits = EightBitContent::kGrey;
  f.check.lossyWith = lossyJpegTwoThousand;
  f.check.minimumPsnr = kRateCodedMinimumPsnr;
  return f;
}

OutputFormat jpg() {
  OutputFormat f = row(kFifJpeg, "jpg", "JPEG File Format", "8,24", O::kJpgBpp);
  f.options = {{{"JPG Quality: ", O::kJpgQuality, R::kValue},
                {"JPG Chroma Subsampling: ", O::kJpgChroma, R::kByCode, kJpgChromaFlags},
                {"JPG Save As: ", O::kJpgSaveAs, R::kByCode, kJpgSaveAsFlags}}};
  f.qualityOption = O::kJpgQuality;
  f.eightBits = EightBitContent::kGrey;
  f.check.reader = C::kLibjpeg;
  f.check.measure = M::kPsnr;
  return f;
}

OutputFormat jxr() {
  OutputFormat f = row(kFifJxr, "jxr", "JPEG XR Image Format", "1,8,16,24,32,48,96", O::kJxrBpp);
  f.writer = OutputWriter::kJxr;
  f.baseSaveFlags = JXR_LOSSLESS;
  f.keepsAlpha = true;
  f.floats = true;
  f.eightBits = EightBitContent::kGrey;
  f.check.reader = C::kLibjxr;
  return f;
}

OutputFormat png() {
  OutputFormat f = row(kFifPng, "png", "Portable Network Graphics", "1,4,8,24,32,48", O::kPngBpp);
  f.options = {{{"PNG Compression: ", O::kPngCompression, R::kByCode, kPngCompressionFlags},
                {"PNG Interlaced: ", O::kPngInterlaced, R::kWhenSet, {}, PNG_INTERLACED}}};
  f.keepsAlpha = true;
  f.check.reader = C::kLibpng;
  f.writer = OutputWriter::kPng;
  return f;
}

OutputFormat tga() {
  OutputFormat f = row(kFifTarga, "tga", "Truevision Targa", "8,16,24,32", O::kTgaBpp);
  f.options = {{{"TGA Compression: ", O::kTgaCompression, R::kByCode, kTgaCompressionFlags}}};
  f.keepsAlpha = true;
  f.sixteenBits = SixteenBitLayout::k555;
  f.streamsFromRows = true;
  return f;
}

OutputFormat tiff() {
  OutputFormat f = row(kFifTiff, "tiff", "Tagged Image File Format", "1,4,8,24,32,48,96,128",
                       O::kTiffBpp);
  f.options = {{{"TIFF Compression: ", O::kTiffCompression, R::kByCode, kTiffCompressionFlags},
                {"TIFF Color Mode: ", O::kTiffColorMode, R::kByCode, kTiffColorModeFlags}}};
  f.keepsAlpha = true;
  f.floats = true;
  f.check.reader = C::kLibtiff;
  f.check.lossyWith = lossyTiff;
  f.largestAutomaticDepth = 96;  // float RGBA only when asked for
  f.cmykFlag = TIFF_CMYK;
  return f;
}

OutputFormat webp() {
  OutputFormat f = row(kFifWebp, "webp", "Google WebP Image Format", "24,32", O::kWebpBpp);
  f.options = {{{"WEBP Quality: ", O::kWebpQuality, R::kLosslessAt100, {}, WEBP_LOSSLESS}}};
  f.qualityOption = O::kWebpQuality;
  f.keepsAlpha = true;
  f.check.lossyWith = lossyWebp;
  f.check.invisibleColourFree = true;
  return f;
}

OutputFormat xpm() {
  OutputFormat f = row(kFifXpm, "xpm", "X11 Pixmap Format", "24", O::kXpmBpp);
  f.writer = OutputWriter::kXpm;
  return f;
}

OutputFormat withAlpha(OutputFormat f) {
  f.keepsAlpha = true;
  return f;
}

OutputFormat withFloats(OutputFormat f) {
  f.floats = true;
  return f;
}

OutputFormat fromRows(OutputFormat f) {
  f.streamsFromRows = true;
  return f;
}

OutputFormat pbm() {
  OutputFormat f = fromRows(row(kFifPbm, "pbm", "Portable Bitmap", "1", O::kPbmBpp));
  f.oneBitIsBlack = true;
  return f;
}

OutputFormat pgm() {
  OutputFormat f = fromRows(row(kFifPgm, "pgm", "Portable Greymap", "8", O::kPgmBpp));
  f.eightBits = EightBitContent::kGreyOnly;
  return f;
}

OutputFormat devil(OutputFormat f, int32_t freeImageReader) {
  f.writer = OutputWriter::kDevil;
  f.check.freeImageFormat = freeImageReader;
  return f;
}

// DevIL writes DDS as DXT1 with a mip chain: lossy, alpha one bit at most.
OutputFormat dds() {
  OutputFormat f = withAlpha(row(kIlDds, "dds", "DirectDraw Surface", "32", O::kDdsBpp));
  f.writer = OutputWriter::kDevil;
  f.check = {C::kDdsReader, -1, M::kPsnr, nullptr, kLossyMinimumPsnr, true, true};
  return f;
}

}  // namespace

int32_t FormatOptionRow::saveFlags(int32_t value) const {
  switch (rule) {
    case FlagRule::kNone: return 0;
    case FlagRule::kByCode:
      return value >= 0 && static_cast<size_t>(value) < flags.size() ? flags[value] : 0;
    case FlagRule::kValue: return value;
    case FlagRule::kWhenSet: return value != 0 ? setFlag : 0;
    case FlagRule::kLosslessAt100: return value == 100 ? setFlag : value;
  }
  return 0;
}

std::vector<OutputFormat> buildOutputTable() {
  return {
      bmp(),
      exr(),
      row(kFifGif, "gif", "Graphics Interchange Format", "8", O::kGifBpp),
      checked(withFloats(row(kFifHdr, "hdr", "High Dynamic Range Image", "96", O::kHdrBpp)),
              C::kFreeImage, M::kRgbe),
      ico(),
      jpegTwoThousand(kFifJ2k, "j2k", "JPEG-2000 Codestream", O::kJ2kBpp),
      checked(withAlpha(row(kFifJng, "jng", "JPEG Network Graphics", "24,32", O::kJngBpp)),
              C::kFreeImage, M::kPsnr),
      jpegTwoThousand(kFifJp2, "jp2", "JPEG-2000 File Format", O::kJp2Bpp),
      jpg(),
      jxr(),
      pbm(),
      checked(fromRows(withFloats(row(kFifPfm, "pfm", "Portable Floatmap", "96", O::kPfmBpp))),
              C::kPfmReader),
      pgm(),
      png(),
      fromRows(row(kFifPpm, "ppm", "Portable Pixelmap", "24,48", O::kPpmBpp)),
      tga(),
      tiff(),
      row(kFifWbmp, "wbmp", "Wireless Bitmap", "1", O::kWbmpBpp),
      webp(),
      xpm(),
      devil(withAlpha(row(kIlPsd, "psd", "Adobe Photoshop", "32", O::kPsdBpp)), kFifPsd),
      dds(),
      devil(row(kIlPcx, "pcx", "ZSoft Paintbrush", "24", O::kPcxBpp), kFifPcx),
  };
}
