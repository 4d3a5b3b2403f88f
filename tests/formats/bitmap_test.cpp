#include "formats/bitmap.h"

#include <gtest/gtest.h>

#include <cstring>

// Writers emit whole scanlines, padding included, so an unfilled bitmap must
// be laid out as FreeImage's own and carry zeros past each row's pixels,
// even over memory the last image left dirty. The last cases are large
// enough for pixel memory of our own.
TEST(UnfilledBitmap, HasFreeImagesLayoutAndZeroPadding) {
  struct Case {
    FREE_IMAGE_TYPE type;
    int bpp;
    int width;
    int height;
  } cases[] = {{FIT_BITMAP, 8, 5, 6},         {FIT_BITMAP, 24, 1, 6}, {FIT_BITMAP, 24, 7, 6},
               {FIT_BITMAP, 24, 8, 6},        {FIT_BITMAP, 32, 3, 6}, {FIT_RGB16, 48, 3, 6},
               {FIT_RGBA16, 64, 1, 6},        {FIT_RGBF, 96, 5, 6},   {FIT_RGBAF, 128, 2, 6},
               {FIT_BITMAP, 24, 4099, 5462}, {FIT_RGB16, 48, 2731, 4097}};
  for (const Case& c : cases) {
    const int height = c.height;
    Bitmap reference = adoptBitmap(FreeImage_AllocateT(c.type, c.width, height, c.bpp));
    const unsigned pitch = FreeImage_GetPitch(reference.get());
    const unsigned line = FreeImage_GetLine(reference.get());
    for (int round = 0; round < 2; ++round) {
      Bitmap bitmap = allocateUnfilledBitmap(c.type, c.width, height, c.bpp);
      ASSERT_TRUE(bitmap) << c.bpp << " bits, width " << c.width;
      ASSERT_EQ(FreeImage_GetImageType(bitmap.get()), c.type);
      ASSERT_EQ(FreeImage_GetBPP(bitmap.get()), static_cast<unsigned>(c.bpp));
      ASSERT_EQ(FreeImage_GetPitch(bitmap.get()), pitch) << c.bpp << " bits, width " << c.width;
      for (int y = 0; y < height; ++y) {
        const BYTE* row = FreeImage_GetScanLine(bitmap.get(), y);
        for (unsigned i = line; i < pitch; ++i) {
          ASSERT_EQ(row[i], 0) << c.bpp << " bits, width " << c.width << ", row " << y;
        }
      }
      // Dirty the memory for the next round's allocation of the same size.
      std::memset(FreeImage_GetBits(bitmap.get()), 0xA5, size_t{pitch} * height);
    }
  }
}

// The pixel memory lives exactly as long as its bitmap: a clone has its own
// copy, and handing the owner another bitmap frees the old one's pixels once.
// (Under the address sanitizer a wrong lifetime fails here.)
TEST(UnfilledBitmap, PixelsLiveAsLongAsTheirBitmap) {
  constexpr int kSide = 4096;  // 64 MiB: pixel memory of our own
  Bitmap bitmap = allocateUnfilledBitmap(FIT_BITMAP, kSide, kSide, 32);
  ASSERT_TRUE(bitmap);
  ASSERT_NE(bitmap.get_deleter().ownPixels, nullptr);
  const size_t bytes = size_t{FreeImage_GetPitch(bitmap.get())} * kSide;
  std::memset(FreeImage_GetBits(bitmap.get()), 0x5A, bytes);
  Bitmap clone = adoptBitmap(FreeImage_Clone(bitmap.get()));
  ASSERT_TRUE(clone);
  Bitmap moved = std::move(bitmap);
  bitmap.reset(FreeImage_Allocate(2, 2, 24));
  bitmap.reset();
  EXPECT_EQ(FreeImage_GetBits(moved.get())[bytes - 1], 0x5A);
  moved.reset(FreeImage_Allocate(2, 2, 24));
  moved = allocateUnfilledBitmap(FIT_RGBF, 2400, 2400, 96);
  ASSERT_TRUE(moved);
  moved.reset();
  EXPECT_EQ(FreeImage_GetBits(clone.get())[bytes - 1], 0x5A);
}
