// XPM output through the built program, read back by ImageMagick: every
// colour has a code of its own at any colour count, and the pixels come back
// exactly.

#include <gtest/gtest.h>

#include "pipeline/independent_reader.h"
#include "platform/files.h"
#include "support/dds_builder.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

TEST(XpmWriter, EveryColourReadsBackExactlyWithAsManyCharactersAsItsCountNeeds) {
  // 91 and 92 colours: both sides of two characters per pixel; 9000 colours
  // are more than 92 * 92 and need three.
  const struct {
    int width, height;
    const char* infoLine;
  } cases[] = {{13, 7, "\"13 7 91 1\""}, {46, 2, "\"46 2 92 2\""}, {100, 90, "\"100 90 9000 3\""}};
  for (const auto& c : cases) {
    TempDir dir;
    // Each pixel its own colour, spread over all three channels.
    const auto colour = [&c](int x, int y) {
      const int i = (y * c.width + x) * 1847;
      return Rgba{static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8), static_cast<uint8_t>(i >> 16), 255};
    };
    ASSERT_TRUE(writeBinaryFile(dir.path() + "t.dds",
                                buildUncompressedDds(c.width, c.height, 24, kMasksR8G8B8, colour)));
    const ProgramResult result = runProgramWith({"-i", dir.path() + "t.dds", "-o", dir.path(), "-c", "xpm"});
    ASSERT_EQ(result.exitCode, 0) << result.out;
    std::string file;
    ASSERT_TRUE(readWholeFile(dir.path() + "t.xpm", &file)) << result.out;
    EXPECT_NE(file.find("\n" + std::string(c.infoLine) + ",\n"), std::string::npos) << c.infoLine;
    DecodedImage decoded;
    ASSERT_TRUE(decodeWithImageMagick(dir.path() + "t.xpm", &decoded)) << c.infoLine;
    ASSERT_EQ(decoded.width, c.width);
    ASSERT_EQ(decoded.height, c.height);
    for (int y = 0; y < c.height; ++y) {
      for (int x = 0; x < c.width; ++x) {
        ASSERT_EQ(decoded.at(x, y), colour(x, y)) << c.infoLine << " at " << x << "," << y;
      }
    }
  }
}
