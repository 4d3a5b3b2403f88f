#include "batch/file_times.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/temp_dir.h"

TEST(FileTimes, CurrentOriginalAndCustom) {
  TempDir dir;
  ConversionSettings settings;
  resetSettings(settings, true);
  ConversionJob job;
  job.currentFile = dir.path() + "in.dds";
  job.outputFile = dir.path() + "out.png";
  ASSERT_TRUE(writeWholeFile(job.currentFile, "in"));
  ASSERT_TRUE(writeWholeFile(job.outputFile, "out"));
  const int64_t sourceTime = 1000000000;  // 2001, local time
  ASSERT_TRUE(setFileModifiedTime(job.currentFile, sourceTime));
  int64_t before = 0, after = 0;
  ASSERT_TRUE(fileModifiedTime(job.outputFile, &before));

  settings.fileTimestamp = kFileTimeCurrent;
  applyFileTimePolicy(settings, job);
  ASSERT_TRUE(fileModifiedTime(job.outputFile, &after));
  EXPECT_EQ(after, before);

  settings.fileTimestamp = kFileTimeOriginal;
  applyFileTimePolicy(settings, job);
  ASSERT_TRUE(fileModifiedTime(job.outputFile, &after));
  EXPECT_EQ(after, sourceTime);

  settings.fileTimestamp = kFileTimeCustom;
  settings.customTimestamp = 1234567890;
  applyFileTimePolicy(settings, job);
  ASSERT_TRUE(fileModifiedTime(job.outputFile, &after));
  EXPECT_EQ(after, 1234567890);

  // Failures are ignored: a missing source or output changes nothing.
  settings.fileTimestamp = kFileTimeOriginal;
  job.currentFile = dir.path() + "missing.dds";
  applyFileTimePolicy(settings, job);
  ASSERT_TRUE(fileModifiedTime(job.outputFile, &after));
  EXPECT_EQ(after, 1234567890);
  job.outputFile = dir.path() + "missing.png";
  settings.fileTimestamp = kFileTimeCustom;
  applyFileTimePolicy(settings, job);
  EXPECT_FALSE(pathExists(job.outputFile));
}
