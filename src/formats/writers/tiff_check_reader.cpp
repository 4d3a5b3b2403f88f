#include "formats/writers/tiff_check_reader.h"

#include <tiffio.h>

#include <cstring>
#include <vector>

namespace {

struct MemoryFile {
  const std::string* bytes;
  toff_t position = 0;
};

MemoryFile* fileOf(thandle_t handle) { return static_cast<MemoryFile*>(handle); }

tmsize_t readBytes(thandle_t handle, void* data, tmsize_t size) {
  MemoryFile* file = fileOf(handle);
  const toff_t length = file->bytes->size();
  if (file->position >= length || size <= 0) return 0;
  const toff_t count = std::min<toff_t>(static_cast<toff_t>(size), length - file->position);
  std::memcpy(data, file->bytes->data() + file->position, count);
  file->position += count;
  return static_cast<tmsize_t>(count);
}

tmsize_t writeNothing(thandle_t, void*, tmsize_t) { return 0; }

toff_t seekTo(thandle_t handle, toff_t offset, int origin) {
  MemoryFile* file = fileOf(handle);
  if (origin == SEEK_CUR) offset += file->position;
  if (origin == SEEK_END) offset += file->bytes->size();
  file->position = offset;
  return offset;
}

int closeNothing(thandle_t) { return 0; }
toff_t sizeOf(thandle_t handle) { return fileOf(handle)->bytes->size(); }
int mapNothing(thandle_t, void**, toff_t*) { return 0; }
void unmapNothing(thandle_t, void*, toff_t) {}

struct TiffClose {
  void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

struct Layout {
  uint16_t photometric = 0, bitsPerSample = 0, samplesPerPixel = 0, sampleFormat = 1,
           planar = PLANARCONFIG_CONTIG;
  uint32_t width = 0, height = 0;
};

Layout layoutOf(TIFF* tiff) {
  Layout l;
  TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &l.width);
  TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &l.height);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_PHOTOMETRIC, &l.photometric);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &l.bitsPerSample);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &l.samplesPerPixel);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &l.sampleFormat);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &l.planar);
  return l;
}

// The FreeImage type that holds an interleaved RGB(A) layout as stored.
bool sampleTypeOf(const Layout& l, FREE_IMAGE_TYPE* type, int* bpp) {
  if (l.photometric != PHOTOMETRIC_RGB || l.planar != PLANARCONFIG_CONTIG) return false;
  if (l.samplesPerPixel != 3 && l.samplesPerPixel != 4) return false;
  const bool alpha = l.samplesPerPixel == 4;
  *bpp = l.bitsPerSample * l.samplesPerPixel;
  if (l.sampleFormat == SAMPLEFORMAT_IEEEFP && l.bitsPerSample == 32) {
    *type = alpha ? FIT_RGBAF : FIT_RGBF;
  } else if (l.sampleFormat == SAMPLEFORMAT_UINT && l.bitsPerSample == 16) {
    *type = alpha ? FIT_RGBA16 : FIT_RGB16;
  } else if (l.sampleFormat == SAMPLEFORMAT_UINT && l.bitsPerSample == 8) {
    *type = FIT_BITMAP;
  } else {
    return false;
  }
  return true;
}

// 8-bit rows come as R, G, B(, A); FreeImage keeps B, G, R(, A).
void swapRedBlue(BYTE* row, uint32_t width, unsigned step) {
  for (uint32_t x = 0; x < width; ++x, row += step) std::swap(row[0], row[2]);
}

Bitmap readSamples(TIFF* tiff, const Layout& l, FREE_IMAGE_TYPE type, int bpp) {
  Bitmap image = adoptBitmap(FreeImage_AllocateT(type, static_cast<int>(l.width), static_cast<int>(l.height), bpp));
  if (!image) return nullptr;
  const tmsize_t rowBytes = TIFFScanlineSize(tiff);
  if (rowBytes != static_cast<tmsize_t>(l.width) * bpp / 8) return nullptr;
  for (uint32_t y = 0; y < l.height; ++y) {
    BYTE* row = FreeImage_GetScanLine(image.get(), static_cast<int>(l.height - 1 - y));
    if (TIFFReadScanline(tiff, row, y, 0) < 0) return nullptr;
    if (type == FIT_BITMAP) swapRedBlue(row, l.width, l.samplesPerPixel);
  }
  return image;
}

// libtiff's RGBA conversion packs R in the low byte of each word.
Bitmap readConverted(TIFF* tiff, const Layout& l) {
  std::vector<uint32_t> raster(static_cast<size_t>(l.width) * l.height);
  if (!TIFFReadRGBAImageOriented(tiff, l.width, l.height, raster.data(), ORIENTATION_BOTLEFT, 0)) {
    return nullptr;
  }
  Bitmap image = adoptBitmap(FreeImage_Allocate(static_cast<int>(l.width), static_cast<int>(l.height), 32));
  if (!image) return nullptr;
  for (uint32_t y = 0; y < l.height; ++y) {
    BYTE* row = FreeImage_GetScanLine(image.get(), static_cast<int>(y));
    const uint32_t* source = raster.data() + static_cast<size_t>(y) * l.width;
    for (uint32_t x = 0; x < l.width; ++x, row += 4) {
      row[FI_RGBA_RED] = static_cast<BYTE>(TIFFGetR(source[x]));
      row[FI_RGBA_GREEN] = static_cast<BYTE>(TIFFGetG(source[x]));
      row[FI_RGBA_BLUE] = static_cast<BYTE>(TIFFGetB(source[x]));
      row[FI_RGBA_ALPHA] = static_cast<BYTE>(TIFFGetA(source[x]));
    }
  }
  return image;
}

}  // namespace

Bitmap readTiffForCheck(const std::string& bytes, bool* unsupported) {
  *unsupported = false;
  MemoryFile file{&bytes};
  std::unique_ptr<TIFF, TiffClose> tiff(TIFFClientOpen("output", "rm", &file, readBytes, writeNothing,
                                                       seekTo, closeNothing, sizeOf, mapNothing,
                                                       unmapNothing));
  if (!tiff) return nullptr;
  const Layout l = layoutOf(tiff.get());
  if (l.width == 0 || l.height == 0) return nullptr;
  if (l.photometric == PHOTOMETRIC_LOGLUV || l.photometric == PHOTOMETRIC_LOGL) {
    *unsupported = true;
    return nullptr;
  }
  FREE_IMAGE_TYPE type = FIT_BITMAP;
  int bpp = 0;
  if (sampleTypeOf(l, &type, &bpp)) return readSamples(tiff.get(), l, type, bpp);
  return readConverted(tiff.get(), l);
}
