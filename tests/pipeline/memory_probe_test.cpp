#include <gtest/gtest.h>

#include <cstdlib>

#include "batch/file_conversion.h"
#include "pipeline/pipeline_test_support.h"
#include "platform/files.h"
#include "support/plan_support.h"

// Steps of tests/pipeline/measure_memory.sh, which runs each in its own
// process under /usr/bin/time -v. Disabled: they only make sense there.

namespace {

const char* environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

TEST(MemoryProbe, DISABLED_WriteLargeTexture) {
  const std::string path = environment("PELLUCID_MEMORY_INPUT");
  if (path.empty()) GTEST_SKIP() << "PELLUCID_MEMORY_INPUT not set";
  ASSERT_TRUE(writeBinaryFile(path, buildUncompressedDds(4096, 4096, 32, kMasksA8R8G8B8, [](int x, int y) {
                                return Rgba{static_cast<uint8_t>(x), static_cast<uint8_t>(y),
                                            static_cast<uint8_t>(x ^ y), static_cast<uint8_t>(x + y)};
                              })));
}

TEST(MemoryProbe, DISABLED_Baseline) {}

TEST(MemoryProbe, DISABLED_ConvertLargeTextureToPng) {
  const std::string input = environment("PELLUCID_MEMORY_INPUT");
  const std::string folder = environment("PELLUCID_MEMORY_OUTPUT");
  if (input.empty() || folder.empty()) GTEST_SKIP() << "PELLUCID_MEMORY_INPUT/OUTPUT not set";
  ConversionSetup setup = makeSetup("png", input, folder);
  ASSERT_TRUE(convertAndSaveFile(setup, {}));
  EXPECT_EQ(setup.job.sourceBpp, 32);
}
