#include "settings/format_settings.h"

#include "formats/format_tables.h"
#include "settings/keyword_tables.h"

int32_t formatOptionValue(const ConversionSettings& s, FormatOption option) {
  using O = FormatOption;
  switch (option) {
    case O::kNone: return 0;
    case O::kBmpBpp: return s.bmpBpp;
    case O::kDdsBpp: return s.ddsBpp;
    case O::kExrBpp: return s.exrBpp;
    case O::kGifBpp: return s.gifBpp;
    case O::kHdrBpp: return s.hdrBpp;
    case O::kIcoBpp: return s.icoBpp;
    case O::kJ2kBpp: return s.j2kBpp;
    case O::kJngBpp: return s.jngBpp;
    case O::kJp2Bpp: return s.jp2Bpp;
    case O::kJpgBpp: return s.jpgBpp;
    case O::kJxrBpp: return s.jxrBpp;
    case O::kPbmBpp: return s.pbmBpp;
    case O::kPcxBpp: return s.pcxBpp;
    case O::kPfmBpp: return s.pfmBpp;
    case O::kPgmBpp: return s.pgmBpp;
    case O::kPngBpp: return s.pngBpp;
    case O::kPpmBpp: return s.ppmBpp;
    case O::kPsdBpp: return s.psdBpp;
    case O::kTgaBpp: return s.tgaBpp;
    case O::kTiffBpp: return s.tiffBpp;
    case O::kWbmpBpp: return s.wbmpBpp;
    case O::kWebpBpp: return s.webpBpp;
    case O::kXpmBpp: return s.xpmBpp;
    case O::kBmpCompression: return s.bmpCompression;
    case O::kBmpColorTable: return s.bmpColorTable;
    case O::kExrCompression: return s.exrCompression;
    case O::kJpgQuality: return s.jpgQuality;
    case O::kJpgChroma: return s.jpgChroma;
    case O::kJpgSaveAs: return s.jpgSaveAs;
    case O::kPngCompression: return s.pngCompression;
    case O::kPngInterlaced: return s.pngInterlaced;
    case O::kTgaCompression: return s.tgaCompression;
    case O::kTiffCompression: return s.tiffCompression;
    case O::kTiffColorMode: return s.tiffColorMode;
    case O::kWebpQuality: return s.webpQuality;
  }
  return 0;
}

int formatOptionKeywordTable(FormatOption option) {
  using O = FormatOption;
  switch (option) {
    case O::kBmpCompression:
    case O::kExrCompression:
    case O::kPngCompression:
    case O::kTgaCompression:
    case O::kTiffCompression: return kCompressionTable;
    case O::kBmpColorTable: return kColorTableTable;
    case O::kJpgChroma: return kChromaTable;
    case O::kJpgSaveAs: return kJpegSaveModeTable;
    case O::kTiffColorMode: return kColorModeTable;
    default: return -1;
  }
}

int32_t requestedDepthSetting(const ConversionSettings& settings, const std::string& conversion) {
  const OutputFormat* format = findOutputFormat(conversion);
  return format ? formatOptionValue(settings, format->depthOption) : 0;
}
