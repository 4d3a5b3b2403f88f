#include "formats/writers/raw_writer_input.h"

#include <utility>

#include "formats/format_tables.h"

namespace {

unsigned brightness(const RGBQUAD& colour) {
  return 2126u * colour.rgbRed + 7152u * colour.rgbGreen + 722u * colour.rgbBlue;
}

void setBitsForBlack(FIBITMAP* image) {
  RGBQUAD* palette = FreeImage_GetPalette(image);
  if (!palette || brightness(palette[0]) >= brightness(palette[1])) return;
  const unsigned bytes = FreeImage_GetLine(image);
  for (unsigned y = 0; y < FreeImage_GetHeight(image); ++y) {
    BYTE* row = FreeImage_GetScanLine(image, static_cast<int>(y));
    for (unsigned i = 0; i < bytes; ++i) row[i] = static_cast<BYTE>(~row[i]);
  }
  std::swap(palette[0], palette[1]);
}

void storeAsCmyk(FIBITMAP* image) {
  const unsigned width = FreeImage_GetWidth(image);
  for (unsigned y = 0; y < FreeImage_GetHeight(image); ++y) {
    BYTE* p = FreeImage_GetScanLine(image, static_cast<int>(y));
    for (unsigned x = 0; x < width; ++x, p += 4) {
      const BYTE red = p[FI_RGBA_RED], green = p[FI_RGBA_GREEN], blue = p[FI_RGBA_BLUE];
      p[0] = static_cast<BYTE>(255 - red);
      p[1] = static_cast<BYTE>(255 - green);
      p[2] = static_cast<BYTE>(255 - blue);
      p[3] = 0;
    }
  }
}

}  // namespace

void prepareForRawWriter(FIBITMAP* image, const SaveTarget& target) {
  const OutputFormat* format = findOutputFormat(target.extension);
  if (!image || !format || FreeImage_GetImageType(image) != FIT_BITMAP) return;
  const unsigned bpp = FreeImage_GetBPP(image);
  if (format->oneBitIsBlack && bpp == 1) setBitsForBlack(image);
  if (format->cmykFlag && (target.saveFlags & format->cmykFlag) == format->cmykFlag && bpp == 32) {
    storeAsCmyk(image);
  }
}
