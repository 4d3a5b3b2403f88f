#include "batch/conversion_worker.h"

#include <gtest/gtest.h>

#include "batch/capturing_console.h"
#include "platform/files.h"
#include "settings/run_plan.h"
#include "support/temp_dir.h"

namespace {

struct WorkerRun {
  ConversionSettings settings;
  RunTargets targets;
  InputSet inputs;
  BatchProgress progress;
  PipelineResources resources;
  CapturingConsole console;

  WorkerRun(const std::string& outputFolder, bool debug) {
    resetSettings(settings, true);
    targets.debugLines = debug;
    targets.outputFolder = outputFolder;
    targets.conversion = "png";
  }

  void add(const std::string& path, const std::string& subfolder = "") {
    InputEntry& entry = inputs.findOrCreate(path);
    entry.listed = 1;
    entry.subfolder = subfolder;
  }

  int32_t run() {
    const BatchPlan plan = planRun(settings, targets);
    runPhaseThread(progress,
                   [&] { conversionWorker(plan, inputs, nullptr, resources, progress, console); });
    return progress.count;
  }
};

}  // namespace

// The worker reads the run only through its plan, so the job's %n% and %rnd%
// cannot change; that failures do not use up numbers is checked end to end by
// the parallel identity test (broken files before good ones, a %n% mask).
TEST(ConversionWorker, UnreadableFilesAreReportedAndLeaveTheCountersAlone) {
  TempDir dir;
  ASSERT_TRUE(createFolder(dir.path() + "out"));
  const std::string png = dir.path() + "fake.dds";
  ASSERT_TRUE(writeWholeFile(png, std::string("\x89PNG\r\n\x1A\n", 8) + "rest"));
  const std::string text = dir.path() + "text.dds";
  ASSERT_TRUE(writeWholeFile(text, "just some text"));

  WorkerRun run(dir.path() + "out/", true);
  run.add(png);
  run.add(text);
  EXPECT_EQ(run.run(), 0);

  std::vector<std::string> perFile;
  for (const std::string& line : run.console.lines) {
    if (line.rfind("Error: ", 0) != 0) perFile.push_back(line);
  }
  std::vector<std::string> expected = {
      "Processing: " + png,  "File Format: PNG",                  "[ERROR] Unable to convert the file!",
      "Processing: " + text, "File Format: [ERROR] UNRECOGNIZED", "[ERROR] Unable to convert the file!"};
  EXPECT_EQ(perFile, expected);
  EXPECT_EQ(run.progress.index, 2);
  EXPECT_EQ(run.progress.currentName, text);
  EXPECT_EQ(run.progress.lastDuration, 0) << "a failed file has no duration";
}

TEST(ConversionWorker, WithoutDebugAFailedFilePrintsNoPerFileLines) {
  TempDir dir;
  const std::string text = dir.path() + "text.dds";
  ASSERT_TRUE(writeWholeFile(text, "just some text"));
  WorkerRun run(dir.path(), false);
  run.add(text);
  EXPECT_EQ(run.run(), 0);
  for (const std::string& line : run.console.lines) {
    EXPECT_EQ(line.rfind("Error: ", 0), 0u) << "only library messages may appear: " << line;
  }
}

TEST(ConversionWorker, MirroredSubfoldersAreCreatedOnlyWhenKept) {
  TempDir dir;
  const std::string text = dir.path() + "text.dds";
  ASSERT_TRUE(writeWholeFile(text, "just some text"));
  {
    WorkerRun run(dir.path(), false);
    run.add(text, "a/b/");
    run.run();
    EXPECT_TRUE(isFolder(dir.path() + "a/b/"));
  }
  {
    WorkerRun run(dir.path(), false);
    run.settings.keepSubfolders = 0;
    run.add(text, "c/d/");
    run.run();
    EXPECT_FALSE(pathExists(dir.path() + "c"));
  }
}

TEST(ConversionWorker, EnsureOutputSubfolderCreatesEachMissingLevel) {
  TempDir dir;
  ASSERT_TRUE(createFolder(dir.path() + "a"));
  ensureOutputSubfolder(dir.path(), "a/b/c/");
  EXPECT_TRUE(isFolder(dir.path() + "a/b/c/"));
  ensureOutputSubfolder(dir.path(), "");  // nothing to do
  // A file in the way: nothing is created and nothing fails loudly.
  ASSERT_TRUE(writeWholeFile(dir.path() + "file", "x"));
  ensureOutputSubfolder(dir.path(), "file/sub/");
  EXPECT_FALSE(pathExists(dir.path() + "file/sub"));
}
