#include <gtest/gtest.h>

#include <string>

#include "app/option_loop.h"
#include "formats/format_tables.h"
#include "settings/format_settings.h"

// Each row of the output format table names the settings field of its own
// depth option: "--<ext>-bpp" given on the command line is what the row reads
// back, and no other format sees it.
TEST(FormatRows, DepthOptionOfEveryRowReadsItsOwnCommandLineOption) {
  for (const OutputFormat& format : formatTables().outputFormats) {
    ConversionSettings settings;
    resetSettings(settings, true);
    ConversionJob job;
    RunFlags flags;
    const std::vector<int32_t> depths = allowedDepths(format.extension);
    ASSERT_FALSE(depths.empty()) << format.extension;
    const std::string option = "--" + format.extension + "-bpp=" + std::to_string(depths.back());
    ASSERT_EQ(runOptionLoop({option}, settings, job, flags), "") << option;
    for (const OutputFormat& other : formatTables().outputFormats) {
      const int32_t expected = &other == &format ? depths.back() : 0;
      EXPECT_EQ(requestedDepthSetting(settings, other.extension), expected)
          << option << " read by " << other.extension;
    }
  }
}
