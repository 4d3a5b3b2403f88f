#include "formats/dds/dds_image.h"

#include <algorithm>
#include <cstring>

#include "formats/dds/bc1_bc3.h"
#include "formats/dds/bc4_bc5.h"
#include "formats/dds/bc6h.h"
#include "formats/dds/bc7.h"
#include "formats/dds/layout_rows.h"

namespace {

Bitmap allocateBitmap(PixelOutput output, uint32_t width, uint32_t height) {
  const int w = static_cast<int>(width);
  const int h = static_cast<int>(height);
  switch (output) {
    case PixelOutput::Grey8: {
      Bitmap bitmap = allocateUnfilledBitmap(FIT_BITMAP, w, h, 8);
      if (bitmap) {
        RGBQUAD* palette = FreeImage_GetPalette(bitmap.get());
        for (int i = 0; i < 256; ++i) {
          palette[i].rgbRed = palette[i].rgbGreen = palette[i].rgbBlue = static_cast<BYTE>(i);
          palette[i].rgbReserved = 0;
        }
      }
      return bitmap;
    }
    case PixelOutput::Rgb8:
      return allocateUnfilledBitmap(FIT_BITMAP, w, h, 24, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK,
                                    FI_RGBA_BLUE_MASK);
    case PixelOutput::Rgba8:
      return allocateUnfilledBitmap(FIT_BITMAP, w, h, 32, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK,
                                    FI_RGBA_BLUE_MASK);
    case PixelOutput::Rgb16: return allocateUnfilledBitmap(FIT_RGB16, w, h, 48);
    case PixelOutput::Rgba16: return allocateUnfilledBitmap(FIT_RGBA16, w, h, 64);
    case PixelOutput::RgbF: return allocateUnfilledBitmap(FIT_RGBF, w, h, 96);
    case PixelOutput::RgbaF: return allocateUnfilledBitmap(FIT_RGBAF, w, h, 128);
  }
  return nullptr;
}

// The bitmap rows of block row `by`, top first; rows past the bottom edge
// are left null. Returns how many there are.
int blockRows(FIBITMAP* bitmap, uint32_t height, uint32_t by, uint8_t** rows) {
  const int rowCount = static_cast<int>(std::min<uint32_t>(4, height - by * 4));
  for (int row = 0; row < rowCount; ++row) {
    rows[row] = FreeImage_GetScanLine(bitmap, static_cast<int>(height - 1 - (by * 4 + row)));
  }
  return rowCount;
}

// For decoders whose pixels are the bitmap's own (Rgba8 in 32-bit bitmaps,
// FIRGBF in float ones, kUnits bytes in 8- and 24-bit ones): whole blocks are
// decoded straight into the bitmap; only the blocks at the right and bottom
// edges go through a small buffer to be cropped. The decoder's row stride
// counts Pixels.
template <typename Pixel, int kUnits = 1, typename DecodeBlock>
void decodeBlocksInPlace(FIBITMAP* bitmap, uint32_t width, uint32_t height, const uint8_t* data,
                         uint32_t blockBytes, DecodeBlock decodeBlock) {
  constexpr size_t kPixelBytes = sizeof(Pixel) * kUnits;
  const uint32_t blocksWide = (width + 3) / 4;
  const uint32_t blocksHigh = (height + 3) / 4;
  const ptrdiff_t stride = -static_cast<ptrdiff_t>(FreeImage_GetPitch(bitmap) / sizeof(Pixel));
  Pixel edge[kBlockPixels * kUnits];
  for (uint32_t by = 0; by < blocksHigh; ++by) {
    uint8_t* rows[4] = {};
    const int rowCount = blockRows(bitmap, height, by, rows);
    Pixel* top = reinterpret_cast<Pixel*>(rows[0]);
    for (uint32_t bx = 0; bx < blocksWide; ++bx, data += blockBytes) {
      const uint32_t columns = std::min<uint32_t>(4, width - bx * 4);
      if (rowCount == 4 && columns == 4) {
        decodeBlock(data, top + bx * 4 * kUnits, stride);
        continue;
      }
      decodeBlock(data, edge, 4 * kUnits);
      for (int row = 0; row < rowCount; ++row) {
        std::memcpy(rows[row] + kPixelBytes * bx * 4, &edge[row * 4 * kUnits], kPixelBytes * columns);
      }
    }
  }
}

void decodeBlockImage(const DdsFormat& format, FIBITMAP* bitmap, uint32_t width, uint32_t height,
                      const uint8_t* data) {
  const uint32_t blockBytes = ddsBlockBytes(format.encoding);
  auto bc6h = [](bool isSigned) {
    return [isSigned](const uint8_t* block, FIRGBF* pixels, ptrdiff_t rowStride) {
      decodeBc6hBlock(block, isSigned, pixels, rowStride);
    };
  };
  switch (format.encoding) {
    case DdsEncoding::Bc1:
      decodeBlocksInPlace<Rgba8>(bitmap, width, height, data, blockBytes, decodeBc1Block);
      break;
    case DdsEncoding::Bc2:
      decodeBlocksInPlace<Rgba8>(bitmap, width, height, data, blockBytes, decodeBc2Block);
      break;
    case DdsEncoding::Bc3:
      decodeBlocksInPlace<Rgba8>(bitmap, width, height, data, blockBytes, decodeBc3Block);
      break;
    case DdsEncoding::Bc7:
      decodeBlocksInPlace<Rgba8>(bitmap, width, height, data, blockBytes, decodeBc7Block);
      break;
    case DdsEncoding::Bc4:
    case DdsEncoding::Bc4Signed: {
      const bool isSigned = format.encoding == DdsEncoding::Bc4Signed;
      decodeBlocksInPlace<uint8_t>(bitmap, width, height, data, blockBytes,
                                   [isSigned](const uint8_t* block, uint8_t* top, ptrdiff_t stride) {
                                     decodeBc4BlockToGrey(block, isSigned, top, stride);
                                   });
      break;
    }
    case DdsEncoding::Bc5:
    case DdsEncoding::Bc5Signed: {
      const bool isSigned = format.encoding == DdsEncoding::Bc5Signed;
      decodeBlocksInPlace<uint8_t, 3>(bitmap, width, height, data, blockBytes,
                                      [isSigned](const uint8_t* block, uint8_t* top, ptrdiff_t stride) {
                                        decodeBc5BlockToRgb(block, isSigned, top, stride);
                                      });
      break;
    }
    case DdsEncoding::Bc6h:
      decodeBlocksInPlace<FIRGBF>(bitmap, width, height, data, blockBytes, bc6h(false));
      break;
    case DdsEncoding::Bc6hSigned:
      decodeBlocksInPlace<FIRGBF>(bitmap, width, height, data, blockBytes, bc6h(true));
      break;
    case DdsEncoding::Uncompressed:
    case DdsEncoding::Unsupported:
      break;
  }
}

// Divides the colour of every pixel by its alpha (rounded, at most full
// scale); a fully transparent pixel keeps its stored colour.
void unpremultiply(FIBITMAP* bitmap, PixelOutput output, uint32_t width, uint32_t height) {
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* row = FreeImage_GetScanLine(bitmap, static_cast<int>(y));
    for (uint32_t x = 0; x < width; ++x) {
      if (output == PixelOutput::Rgba8) {
        uint8_t* p = row + 4 * x;
        const uint32_t a = p[FI_RGBA_ALPHA];
        if (a == 0 || a == 255) continue;
        for (int c : {FI_RGBA_RED, FI_RGBA_GREEN, FI_RGBA_BLUE}) {
          p[c] = static_cast<uint8_t>(std::min<uint32_t>(255, (p[c] * 255u * 2 + a) / (2 * a)));
        }
      } else if (output == PixelOutput::Rgba16) {
        FIRGBA16* p = reinterpret_cast<FIRGBA16*>(row) + x;
        const uint64_t a = p->alpha;
        if (a == 0 || a == 65535) continue;
        for (WORD* c : {&p->red, &p->green, &p->blue}) {
          *c = static_cast<WORD>(std::min<uint64_t>(65535, (*c * uint64_t{65535} * 2 + a) / (2 * a)));
        }
      } else if (output == PixelOutput::RgbaF) {
        FIRGBAF* p = reinterpret_cast<FIRGBAF*>(row) + x;
        if (!(p->alpha > 0.0f) || p->alpha == 1.0f) continue;
        p->red /= p->alpha;
        p->green /= p->alpha;
        p->blue /= p->alpha;
      }
    }
  }
}

}  // namespace

Bitmap allocateDdsBitmap(const DdsFormat& format, uint32_t width, uint32_t height) {
  if (ddsDecodedBytes(format, width, height) > kMaxDecodedBytes) return nullptr;
  return allocateBitmap(ddsOutput(format), width, height);
}

bool ddsRowsAreScanlines(const DdsFormat& format) {
  return format.encoding == DdsEncoding::Uncompressed &&
         !(format.premultiplied && outputHasAlpha(ddsOutput(format))) &&
         LayoutRowDecoder(format.layout).copiesRows();
}

Bitmap decodeDdsImage(const DdsFormat& format, uint32_t width, uint32_t height,
                      const uint8_t* data, size_t size, uint64_t rowPitch) {
  if (format.encoding == DdsEncoding::Unsupported || width == 0 || height == 0) return nullptr;
  const uint64_t packedRow = uint64_t{width} * format.layout.bytesPerPixel;
  if (format.encoding == DdsEncoding::Uncompressed) {
    if (rowPitch == 0) rowPitch = packedRow;
    if (rowPitch < packedRow || rowPitch * (height - 1) + packedRow > size) return nullptr;
  } else if (ddsImageBytes(format, width, height) > size) {
    return nullptr;
  }
  const PixelOutput output = ddsOutput(format);
  Bitmap bitmap = allocateDdsBitmap(format, width, height);
  if (!bitmap) return nullptr;

  if (format.encoding == DdsEncoding::Uncompressed) {
    const LayoutRowDecoder rows(format.layout, uint64_t{width} * height);
    for (uint32_t y = 0; y < height; ++y) {
      uint8_t* scanline = FreeImage_GetScanLine(bitmap.get(), static_cast<int>(height - 1 - y));
      rows.decode(data + y * rowPitch, width, scanline);
    }
  } else {
    decodeBlockImage(format, bitmap.get(), width, height, data);
  }
  if (format.premultiplied && outputHasAlpha(output)) unpremultiply(bitmap.get(), output, width, height);
  return bitmap;
}
