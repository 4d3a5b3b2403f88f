#include "settings/conversion_job.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/process.h"

TEST(ConversionJob, ResetClearsTheRunAndDrawsARandomNumber) {
  ConversionJob job;
  job.inputPath = "in";
  job.outputFolder = "out/";
  job.conversion = "png";
  job.consoleMode = 1;
  job.debugMode = "DEBUG";
  job.fileCounter = 42;
  job.requestedBpp = 24;
  job.currentFile = "x.dds";
  resetJob(job);
  EXPECT_EQ(job.workingFolder, currentFolder());
  EXPECT_EQ(job.workingFolder.back(), '/');
  EXPECT_EQ(job.inputPath, "");
  EXPECT_EQ(job.outputFolder, "");
  EXPECT_EQ(job.conversion, "");
  EXPECT_EQ(job.consoleMode, 0);
  EXPECT_EQ(job.debugMode, "");
  EXPECT_EQ(job.fileCounter, 1);
  EXPECT_EQ(job.requestedBpp, 0);
  EXPECT_EQ(job.currentFile, "");

  std::set<int32_t> drawn;
  for (int i = 0; i < 50; ++i) {
    resetJob(job);
    EXPECT_GE(job.randomNumber, 1);
    EXPECT_LE(job.randomNumber, 99999);
    drawn.insert(job.randomNumber);
  }
  EXPECT_GT(drawn.size(), 40u);
}
