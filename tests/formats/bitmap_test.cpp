#include "formats/bitmap.h"

#include <gtest/gtest.h>

#include <cstring>

// Writers emit whole scanlines, padding included, so an unfilled bitmap must
// be laid out as FreeImage's own and carry zeros past each row's pixels,
// even over memory the last image left dirty.
TEST(UnfilledBitmap, HasFreeImagesLayoutAndZeroPadding) {
  struct Case {
    FREE_IMAGE_TYPE type;
    int bpp;
    int width;
  } cases[] = {{FIT_BITMAP, 8, 5},   {FIT_BITMAP, 24, 1},  {FIT_BITMAP, 24, 7},
               {FIT_BITMAP, 24, 8},  {FIT_BITMAP, 32, 3},  {FIT_RGB16, 48, 3},
               {FIT_RGBA16, 64, 1},  {FIT_RGBF, 96, 5},    {FIT_RGBAF, 128, 2}};
  for (const Case& c : cases) {
    const int height = 6;
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
  Bitmap bitmap = allocateUnfilledBitmap(FIT_BITMAP, 4, 4, 32);
  ASSERT_TRUE(bitmap);
  std::memset(FreeImage_GetBits(bitmap.get()), 0x5A, FreeImage_GetPitch(bitmap.get()) * 4);
  Bitmap clone = adoptBitmap(FreeImage_Clone(bitmap.get()));
  ASSERT_TRUE(clone);
  Bitmap moved = std::move(bitmap);
  bitmap.reset(FreeImage_Allocate(2, 2, 24));
  bitmap.reset();
  EXPECT_EQ(FreeImage_GetBits(moved.get())[0], 0x5A);
  moved.reset(FreeImage_Allocate(2, 2, 24));
  moved = allocateUnfilledBitmap(FIT_RGBF, 3, 3, 96);
  ASSERT_TRUE(moved);
  moved.reset();
  EXPECT_EQ(FreeImage_GetBits(clone.get())[FreeImage_GetPitch(clone.get()) * 4 - 1], 0x5A);
}
