#include "app/profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files.h"
#include "support/temp_dir.h"

namespace {

struct Loaded {
  bool ok = false;
  ConversionSettings settings;
};

Loaded loadText(const std::string& bytes) {
  TempDir folder;
  std::string path = folder.path() + "profile.ini";
  EXPECT_TRUE(writeWholeFile(path, bytes));
  Loaded loaded;
  resetSettings(loaded.settings, true);
  loaded.ok = LoadProfile(path, loaded.settings);
  return loaded;
}

}  // namespace

TEST(LoadProfile, ReadsTheExampleProfile) {
  Loaded loaded = loadText(
      "; batch settings\r\n[CLI]\r\n--jpg-quality = 90\r\n--resize-algorithm = lanczos\r\n"
      "--width = 50\r\n--width-unit = PERCENT\r\n--invert = 0\r\n");
  ASSERT_TRUE(loaded.ok);
  EXPECT_EQ(loaded.settings.jpgQuality, 90);
  EXPECT_EQ(loaded.settings.resizeAlgorithm, 5);
  EXPECT_EQ(loaded.settings.doResize, 1);
  EXPECT_EQ(loaded.settings.resizeWidth, 50);
  EXPECT_EQ(loaded.settings.resizeWidthUnit, 1);
  EXPECT_EQ(loaded.settings.doColorCorrection, 1);
  EXPECT_EQ(loaded.settings.invert, 1);
}

TEST(LoadProfile, OnlyTheFirstCliGroupCounts) {
  Loaded loaded = loadText(
      "--jpg-quality=1\n[other]\n--jpg-quality=2\n[cli]\n  --Jpg-Quality = 3\n"
      "--JPG-QUALITY=4\n[Cli] trailing text\n--jpg-quality=5\n");
  ASSERT_TRUE(loaded.ok);
  EXPECT_EQ(loaded.settings.jpgQuality, 4);  // later entry of the first group wins

  Loaded noGroup = loadText("--jpg-quality=7\n[Settings]\n--jpg-quality=8\n");
  EXPECT_TRUE(noGroup.ok);
  EXPECT_EQ(noGroup.settings.jpgQuality, 95);

  Loaded unclosed = loadText("[CLI\n--jpg-quality=9\n");
  EXPECT_EQ(unclosed.settings.jpgQuality, 9);
}

TEST(LoadProfile, QuotesStayExceptAroundTheFilenameMask) {
  Loaded loaded = loadText(
      "[CLI]\n--wm-text = \"Hello\"\n--filename-mask = \"%filename%_small\"\n"
      "--wm-font =   Liberation Sans  \n--dither =  bayer8 \n");
  EXPECT_EQ(loaded.settings.wmText, "\"Hello\"");
  EXPECT_EQ(loaded.settings.watermarkKind, 1);
  EXPECT_EQ(loaded.settings.filenameMask, "%filename%_small");
  EXPECT_EQ(loaded.settings.wmFont, "Liberation Sans");
  EXPECT_EQ(loaded.settings.ditherAlgorithm, 2);
  EXPECT_EQ(loaded.settings.doDither, 1);
  EXPECT_EQ(loadText("[CLI]\n--filename-mask=\"\"a\"\"\n").settings.filenameMask, "a");
}

TEST(LoadProfile, FlagsAndEmptyValuesCount) {
  Loaded loaded = loadText(
      "[CLI]\n--greyscale =\n--flip-vertical\n--no-subfolders = 1\n--width =\n"
      "--wm-text =\n--keep-aspect-ratio = off\n");
  EXPECT_EQ(loaded.settings.greyscale, 1);
  EXPECT_EQ(loaded.settings.flipVertical, 1);
  EXPECT_EQ(loaded.settings.keepSubfolders, 0);
  EXPECT_EQ(loaded.settings.doResize, 1);
  EXPECT_EQ(loaded.settings.resizeWidth, 0);
  EXPECT_EQ(loaded.settings.watermarkKind, 1);
  EXPECT_EQ(loaded.settings.wmText, "");
  EXPECT_EQ(loaded.settings.keepAspectRatio, 1);
}

TEST(LoadProfile, CommandLineOnlyKeysAndUnknownKeysAreIgnored) {
  ConversionSettings defaults;
  resetSettings(defaults, true);
  Loaded loaded = loadText(
      "[CLI]\n--input = c:\\images\n-i = x\n--output = o\n--conversion = png\n"
      "--profile = other.ini\n--debug =\n--quiet =\n--pause =\n--help =\njpg-quality = 5\n"
      "--unknown = 1\n= 3\n--fr-solid-opacity = 128\n");
  ASSERT_TRUE(loaded.ok);
  EXPECT_EQ(loaded.settings.frameOpacity, 128);
  EXPECT_EQ(loaded.settings.jpgQuality, defaults.jpgQuality);
  EXPECT_EQ(loaded.settings.doFrame, 0);
}

TEST(LoadProfile, Utf8WithMarkAndLatin1GiveTheSameText) {
  Loaded utf8 = loadText("\xEF\xBB\xBF[CLI]\n--wm-text = caf\xC3\xA9 \xC3\xBC\n");
  Loaded latin1 = loadText("[CLI]\n--wm-text = caf\xE9 \xFC\n");
  EXPECT_EQ(utf8.settings.wmText, "caf\xC3\xA9 \xC3\xBC");
  EXPECT_EQ(latin1.settings.wmText, utf8.settings.wmText);
  // UTF-8 without the mark is read as Latin-1: each accented letter becomes two.
  Loaded unmarked = loadText("[CLI]\n--wm-text = caf\xC3\xA9\n");
  EXPECT_EQ(unmarked.settings.wmText, "caf\xC3\x83\xC2\xA9");
  // A mark alone, or a group name in Latin-1, is no problem either.
  EXPECT_TRUE(loadText("\xEF\xBB\xBF").ok);
  EXPECT_EQ(loadText("\xEF\xBB\xBF[CLI]\r--jpg-quality=12").settings.jpgQuality, 12);
}

TEST(LoadProfile, UnreadablePathsAreRefusedAndOddContentIsNot) {
  TempDir folder;
  ConversionSettings settings;
  EXPECT_FALSE(LoadProfile("", settings));
  EXPECT_FALSE(LoadProfile(folder.path() + "missing.ini", settings));
  EXPECT_FALSE(LoadProfile(folder.path(), settings));
  std::string fifo = folder.path() + "fifo.ini";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(LoadProfile(fifo, settings));  // returns instead of waiting for a writer
  if (geteuid() != 0) {
    std::string locked = folder.path() + "locked.ini";
    ASSERT_TRUE(writeWholeFile(locked, "[CLI]\n"));
    chmod(locked.c_str(), 0);
    EXPECT_FALSE(LoadProfile(locked, settings));
  }

  EXPECT_TRUE(loadText("").ok);
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary.push_back(static_cast<char>((i * 7919) & 0xFF));
  binary += "\n[CLI]\n--jpg-quality=33\n\0\0\xff[";
  Loaded loaded = loadText(binary);
  EXPECT_TRUE(loaded.ok);
  EXPECT_EQ(loaded.settings.jpgQuality, 33);
}
