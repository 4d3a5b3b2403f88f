#include "settings/conversion_settings.h"

#include <gtest/gtest.h>

#include "platform/clock.h"

TEST(ConversionSettings, ResetRestoresTheDocumentedDefaults) {
  ConversionSettings settings;
  settings.jpgQuality = 1;
  settings.doResize = 1;
  settings.wmText = "changed";
  settings.watermarkKind = 2;
  resetSettings(settings, true);
  EXPECT_EQ(settings.rawToneMapping, 2);
  EXPECT_EQ(settings.jpgQuality, 95);
  EXPECT_EQ(settings.webpQuality, 100);
  EXPECT_EQ(settings.resizeAlgorithm, 3);
  EXPECT_EQ(settings.doResize, 0);
  EXPECT_FLOAT_EQ(settings.gamma, 1.0f);
  EXPECT_EQ(settings.frameOpacity, 255);
  EXPECT_EQ(settings.rotationBackColor, "000000");
  EXPECT_EQ(settings.frameLeftColor, "000000");
  EXPECT_EQ(settings.watermarkKind, 0);
  EXPECT_FALSE(settings.wmText.empty());
  EXPECT_NE(settings.wmText, "changed");
  EXPECT_EQ(settings.wmFontList, "Arial,Tahoma,Verdana");
  EXPECT_EQ(settings.wmFont, "Arial");
  EXPECT_EQ(settings.wmFontSize, 14);
  EXPECT_EQ(settings.wmFontColor, "FFFFFF");
  EXPECT_EQ(settings.wmFontColorList, "000000,FFFFFF,FF0000,FF8000,FFFF00,008000,00FFFF,0000FF,8000FF");
  EXPECT_EQ(settings.wmBackColorList, settings.wmFontColorList);
  EXPECT_EQ(settings.wmTextOpacity, 255);
  EXPECT_EQ(settings.wmBackOpacity, 1);
  EXPECT_EQ(settings.wmTextPosition, 8);
  EXPECT_EQ(settings.wmImagePosition, 8);
  EXPECT_EQ(settings.wmTextXOffset, 10);
  EXPECT_EQ(settings.wmImageYOffset, 10);
  EXPECT_EQ(settings.wmTextScale, 10);
  EXPECT_EQ(settings.wmImageScale, 10);
  EXPECT_EQ(settings.wmImageOpacity, 255);
  EXPECT_EQ(settings.wmImage, "");
  EXPECT_EQ(settings.filenameMask, "%filename%.%ext%");
  EXPECT_EQ(settings.fileTimestamp, 0);
  EXPECT_EQ(settings.keepSubfolders, 1);
}

TEST(ConversionSettings, KeepAspectRatioDependsOnTheEdition) {
  ConversionSettings settings;
  resetSettings(settings, true);
  EXPECT_EQ(settings.keepAspectRatio, 0);
  resetSettings(settings, false);
  EXPECT_EQ(settings.keepAspectRatio, 1);
}

TEST(ConversionSettings, CustomTimestampIsTheLocalTimeOfTheReset) {
  ConversionSettings settings;
  int64_t before = localNowSeconds();
  resetSettings(settings, true);
  int64_t after = localNowSeconds();
  EXPECT_GE(settings.customTimestamp, static_cast<int32_t>(before));
  EXPECT_LE(settings.customTimestamp, static_cast<int32_t>(after));
}
