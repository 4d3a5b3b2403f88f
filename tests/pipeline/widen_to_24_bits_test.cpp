#include "pipeline/widen_to_24_bits.h"

#include <gtest/gtest.h>

#include <cmath>

#include "pipeline/color_correction.h"
#include "pipeline/image_probe.h"
#include "pipeline/rotate.h"
#include "settings/run_plan.h"

using namespace pipeline_test;

namespace {

// A 3 x 1 float image: over-bright, in range and negative/NaN channels.
Bitmap floatImage(FREE_IMAGE_TYPE type) {
  Bitmap image = adoptBitmap(FreeImage_AllocateT(type, 3, 1));
  const float values[3][4] = {{2.0f, 1.0f, 0.5f, 0.25f},
                              {0.2f, 0.0f, 1.0f, 1.0f},
                              {-1.0f, NAN, 0.75f, 0.0f}};
  const unsigned step = type == FIT_RGBAF ? 4 : 3;
  float* row = reinterpret_cast<float*>(FreeImage_GetScanLine(image.get(), 0));
  for (unsigned x = 0; x < 3; ++x)
    for (unsigned c = 0; c < step; ++c) row[x * step + c] = values[x][c];
  return image;
}

const Pixel kExpected[3] = {{255, 255, 128}, {51, 0, 255}, {0, 0, 191}};

}  // namespace

TEST(WidenTo24Bits, ClampsFloatChannelsToTheUnitRange) {
  for (FREE_IMAGE_TYPE type : {FIT_RGBF, FIT_RGBAF}) {
    Bitmap wide = widenTo24Bits(floatImage(type));
    ASSERT_TRUE(wide) << type;
    EXPECT_EQ(FreeImage_GetBPP(wide.get()), 24u) << type;
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(getPixel(wide.get(), x, 0), kExpected[x])
          << type << " at " << x << " " << toString(getPixel(wide.get(), x, 0));
    }
  }
  EXPECT_FALSE(widenTo24Bits(Bitmap()));
}

TEST(WidenTo24Bits, FloatTexturesGoThroughRotationAndColourSteps) {
  ConversionSettings settings;
  settings.doRotation = 1;
  settings.rotationAngle = 180;
  settings.doColorCorrection = 1;
  settings.invert = 1;
  Bitmap turned = rotateImage(floatImage(FIT_RGBAF), planChain(settings).rotate);
  ASSERT_TRUE(turned);
  EXPECT_EQ(getPixel(turned.get(), 2, 0), kExpected[0]);
  Bitmap inverted = applyColorCorrection(floatImage(FIT_RGBF), planChain(settings).colorCorrection);
  ASSERT_TRUE(inverted);
  EXPECT_EQ(getPixel(inverted.get(), 0, 0), (Pixel{0, 0, 127}));
}
