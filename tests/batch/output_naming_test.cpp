
#include <gtest/gtest.h>

#include "platform/clock.h"
#include "support/plan_support.h"

namespace {

struct Naming : TestRun {
  Naming(const std::string& file, const std::string& conversion, const std::string& mask) {
    resetSettings(settings, true);
    job.currentFile = file;
    run.conversion = conversion;
    run.outputFolder = "/out/";
    job.fileCounter = 1;
    job.randomNumber = 42;
    settings.filenameMask = mask;
  }
};

}  // namespace

TEST(OutputNaming, StripExtension) {
  struct Case {
    const char* name;
    const char* expected;
  } cases[] = {{"photo.dds", "photo"}, {"a.b.dds", "a.b"}, {"noext", "noext"}, {"", ""},
               {".hidden", ""},        {"trailing.", "trailing"}};
  for (const Case& c : cases) EXPECT_EQ(stripExtension(c.name), c.expected) << c.name;
}

TEST(OutputNaming, FilenameMasks) {
  struct Case {
    const char* file;
    const char* conversion;
    const char* mask;
    int counter;
    const char* expected;
  } cases[] = {
      {"/in/Photo.DDS", "png", "", 1, "Photo.png"},
      {"/in/Photo.DDS", "png", "%filename%.%ext%", 1, "Photo.png"},
      {"/in/photo.dds", "jpg", "%filename[u]%_%n%.%ext[u]%", 1, "PHOTO_00001.JPG"},
      {"/in/photo.dds", "jpg", "%filename[u]%_%n%.%ext[u]%", 2, "PHOTO_00002.JPG"},
      {"/in/PHOTO.dds", "dds", "%filename[t]%.%ext%", 1, "Photo.dds"},
      {"/in/PHOTO.dds", "dds", "%filename[l]%.%ext[t]%", 1, "photo.Dds"},
      {"/in/photo.dds", "png", "IMG_%filename%.%ext%", 1, "img_photo.png"},
      {"/in/photo.dds", "png", "Photo_%FILENAME%.%EXT%", 1, "photo_photo.png"},
      {"/in/a.b.dds", "png", "%filename%.%ext%", 1, "a.b.png"},
      // A token inside an inserted name is replaced when its turn comes later.
      {"/in/a%ext%b.dds", "png", "%filename%", 1, "apngb"},
      {"/in/été.dds", "png", "%filename[u]%.%ext%", 1, "ÉTÉ.png"},
      {"/in/ÉTÉ.dds", "png", "%filename[t]%.%ext%", 1, "Été.png"},
      {"/in/x.dds", "png", "%n%", 99999, "99999"},
      // Above 99999 every digit stays, so 100000 never becomes 10000.
      {"/in/x.dds", "png", "%n%", 100000, "100000"},
      {"/in/x.dds", "png", "%n%", 1234567, "1234567"},
      {"/in/x.dds", "png", "%frame%-%rnd%", 1, "1-00042"},
      {"/in/x.dds", "png", "no tokens", 1, "no tokens"},
  };
  for (const Case& c : cases) {
    Naming naming(c.file, c.conversion, c.mask);
    naming.job.fileCounter = c.counter;
    naming.job.frameIndex = 1;
    EXPECT_EQ(expandFilenameMask(naming), c.expected) << c.mask << " " << c.file;
  }
}

TEST(OutputNaming, SizeDepthAndDateTokens) {
  Naming naming("/in/x.dds", "png", "%width%x%height%_%bpp%");
  naming.job.imageWidth = 640;
  naming.job.imageHeight = 480;
  naming.job.requestedBpp = 24;
  EXPECT_EQ(expandFilenameMask(naming), "640x480_24");

  naming.settings.filenameMask = "%yyyy%-%mm%-%dd% %hh%:%ii%:%ss%";
  const LocalDateTime before = localDateTime();
  const std::string text = expandFilenameMask(naming);
  ASSERT_EQ(text.size(), 19u) << text;
  EXPECT_EQ(text.substr(0, 4), std::to_string(before.year));
  for (size_t i : {5u, 8u, 11u, 14u, 17u}) {
    EXPECT_TRUE(isdigit(text[i]) && isdigit(text[i + 1])) << text;
  }
}

TEST(OutputNaming, WatermarkTextKeepsItsLetterCase) {
  Naming naming("/in/Photo.dds", "png", "");
  naming.job.imageWidth = 640;
  naming.job.imageHeight = 480;
  struct Case {
    const char* text;
    const char* expected;
  } cases[] = {
      {"Size: %WIDTH%x%Height%", "Size: 640x480"},
      {"100% Photo", "100% Photo"},  // one "%": left alone
      {"%FileName[U]% by ME", "PHOTO by ME"},
      {"%unknown% and %ext%", "%unknown% and png"},
  };
  for (const Case& c : cases) {
    naming.settings.wmText = c.text;
    EXPECT_EQ(expandWatermarkText(naming), c.expected) << c.text;
  }
}

TEST(OutputNaming, OutputPathKeepsSubfoldersOnlyWhenAsked) {
  Naming naming("/in/sub/photo.dds", "png", "");
  naming.job.currentSubfolder = "sub/";
  EXPECT_EQ(makeOutputPath(naming), "/out/sub/photo.png");
  naming.settings.keepSubfolders = 0;
  EXPECT_EQ(makeOutputPath(naming), "/out/photo.png");
}
