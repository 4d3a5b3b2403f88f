#include "settings/conversion_job.h"

#include <gtest/gtest.h>

#include "platform/process.h"

TEST(ConversionJob, ResetClearsWhatTheCommandLineNamed) {
  ConversionJob job;
  job.inputPath = "in";
  job.outputFolder = "out/";
  job.conversion = "png";
  job.consoleMode = 1;
  job.debugMode = "DEBUG";
  resetJob(job);
  EXPECT_EQ(job.workingFolder, currentFolder());
  EXPECT_EQ(job.workingFolder.back(), '/');
  EXPECT_EQ(job.inputPath, "");
  EXPECT_EQ(job.outputFolder, "");
  EXPECT_EQ(job.conversion, "");
  EXPECT_EQ(job.consoleMode, 0);
  EXPECT_EQ(job.debugMode, "");
}
