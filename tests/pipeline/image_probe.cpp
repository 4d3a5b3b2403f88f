#include "pipeline/image_probe.h"

#include <cstdio>
#include <cstring>
#include <sstream>

#include "support/temp_dir.h"

namespace pipeline_test {

std::string toString(const Pixel& c) {
  std::ostringstream out;
  out << "(" << c.r << "," << c.g << "," << c.b << "," << c.a << ")";
  return out.str();
}

Bitmap makeImage(int width, int height, int bpp, Pixel fill) {
  Bitmap image = adoptBitmap(FreeImage_Allocate(width, height, bpp));
  if (!image) return image;
  if (bpp <= 8) {
    RGBQUAD* palette = FreeImage_GetPalette(image.get());
    const int colors = static_cast<int>(FreeImage_GetColorsUsed(image.get()));
    for (int i = 0; i < colors; ++i) {
      const BYTE level = static_cast<BYTE>(i * 255 / (colors - 1));
      palette[i] = RGBQUAD{level, level, level, 0};
    }
  }
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) setPixel(image.get(), x, y, fill);
  }
  return image;
}

Bitmap makeWideImage(FREE_IMAGE_TYPE type, int width, int height) {
  Bitmap image = adoptBitmap(FreeImage_AllocateT(type, width, height));
  if (!image) return image;
  for (int y = 0; y < height; ++y) {
    std::memset(FreeImage_GetScanLine(image.get(), y), 0xFF, FreeImage_GetLine(image.get()));
  }
  return image;
}

void setPixel(FIBITMAP* image, int x, int y, Pixel color) {
  const unsigned row = FreeImage_GetHeight(image) - 1 - static_cast<unsigned>(y);
  const unsigned bpp = FreeImage_GetBPP(image);
  if (bpp <= 8) {
    const int levels = (1 << bpp) - 1;
    BYTE index = static_cast<BYTE>((color.r * levels + 127) / 255);
    FreeImage_SetPixelIndex(image, x, row, &index);
    return;
  }
  RGBQUAD quad{static_cast<BYTE>(color.b), static_cast<BYTE>(color.g), static_cast<BYTE>(color.r),
               static_cast<BYTE>(color.a)};
  FreeImage_SetPixelColor(image, x, row, &quad);
}

Pixel getPixel(FIBITMAP* image, int x, int y) {
  const unsigned row = FreeImage_GetHeight(image) - 1 - static_cast<unsigned>(y);
  const unsigned bpp = FreeImage_GetBPP(image);
  RGBQUAD quad{};
  if (bpp <= 8) {
    BYTE index = 0;
    FreeImage_GetPixelIndex(image, x, row, &index);
    quad = FreeImage_GetPalette(image)[index];
    quad.rgbReserved = 255;
  } else {
    FreeImage_GetPixelColor(image, x, row, &quad);
    if (bpp != 32) quad.rgbReserved = 255;
  }
  return Pixel{quad.rgbRed, quad.rgbGreen, quad.rgbBlue, quad.rgbReserved};
}

PngReadBack readBackThroughPng(FIBITMAP* image) {
  PngReadBack result;
  TempDir folder;
  const std::string path = folder.path() + "probe.png";
  if (!FreeImage_Save(FIF_PNG, image, path.c_str(), PNG_DEFAULT)) return result;
  const std::string command =
      "/usr/bin/python3 -c 'import sys\n"
      "from PIL import Image\n"
      "im = Image.open(sys.argv[1])\n"
      "print(im.width, im.height, im.mode)\n"
      "for p in im.convert(\"RGBA\").getdata(): print(*p)' '" +
      path + "'";  // a TempDir path holds no quote
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  std::string text;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  if (pclose(pipe) != 0) return result;
  std::istringstream in(text);
  in >> result.width >> result.height >> result.mode;
  Pixel c;
  while (in >> c.r >> c.g >> c.b >> c.a) result.pixels.push_back(c);
  result.ok = result.pixels.size() == static_cast<size_t>(result.width) * result.height;
  return result;
}

}  // namespace pipeline_test
