#include "batch/file_times.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/temp_dir.h"

TEST(FileTimes, CurrentOriginalAndCustom) {
  TempDir dir;
  FileTimePolicy policy;
  std::string input = dir.path() + "in.dds";
  std::string output = dir.path() + "out.png";
  ASSERT_TRUE(writeWholeFile(input, "in"));
  ASSERT_TRUE(writeWholeFile(output, "out"));
  const int64_t sourceTime = 1000000000;  // 2001, local time
  ASSERT_TRUE(setFileModifiedTime(input, sourceTime));
  int64_t before = 0, after = 0;
  ASSERT_TRUE(fileModifiedTime(output, &before));

  policy.rule = FileTimeRule::kCurrent;
  applyFileTimePolicy(policy, input, output);
  ASSERT_TRUE(fileModifiedTime(output, &after));
  EXPECT_EQ(after, before);

  policy.rule = FileTimeRule::kOriginal;
  applyFileTimePolicy(policy, input, output);
  ASSERT_TRUE(fileModifiedTime(output, &after));
  EXPECT_EQ(after, sourceTime);

  policy.rule = FileTimeRule::kCustom;
  policy.customTime = 1234567890;
  applyFileTimePolicy(policy, input, output);
  ASSERT_TRUE(fileModifiedTime(output, &after));
  EXPECT_EQ(after, 1234567890);

  // Failures are ignored: a missing source or output changes nothing.
  policy.rule = FileTimeRule::kOriginal;
  input = dir.path() + "missing.dds";
  applyFileTimePolicy(policy, input, output);
  ASSERT_TRUE(fileModifiedTime(output, &after));
  EXPECT_EQ(after, 1234567890);
  output = dir.path() + "missing.png";
  policy.rule = FileTimeRule::kCustom;
  applyFileTimePolicy(policy, input, output);
  EXPECT_FALSE(pathExists(output));
}
