#include "app/prepare_and_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/message_catalogue.h"
#include "batch/capturing_console.h"
#include "formats/format_tables.h"
#include "platform/files.h"
#include "support/default_report.h"
#include "support/temp_dir.h"

namespace {

// A run with default settings on an empty input folder and an output folder,
// debug mode on, as the option loop leaves it.
class PrepareAndRunTest : public ::testing::Test {
 public:
  PrepareAndRunTest() {
    createFolder(base.path() + "in");
    createFolder(base.path() + "out");
  }

  void SetUp() override { resetRun(); }

  // Fresh records for one more case of a table-driven test.
  void resetRun() {
    LoadMessageCatalogue("");
    resetSettings(settings, true);
    resetJob(job);
    job.workingFolder = base.path();
    job.consoleMode = 1;
    job.debugMode = "DEBUG";
    job.inputPath = base.path() + "in";
    job.outputFolder = base.path() + "out";
  }

  std::vector<std::string> run(bool quiet = false) {
    CapturingConsole console;
    prepareAndRun(settings, job, quiet, console);
    return console.lines;
  }

  TempDir base;
  ConversionSettings settings;
  ConversionJob job;
};

std::vector<std::string> errorLines(const std::vector<std::string>& lines) {
  std::vector<std::string> errors;
  std::copy_if(lines.begin(), lines.end(), std::back_inserter(errors),
               [](const std::string& line) { return line.rfind("Error: ", 0) == 0; });
  return errors;
}

}  // namespace

TEST_F(PrepareAndRunTest, DefaultReportIsTheFullSequence) {
  const std::vector<std::string> expected =
      defaultReportOfEmptyBmpRun(base.path() + "in", base.path() + "out");
  EXPECT_EQ(run(), expected);
  // The command-line record stays as typed; what was resolved lives in the plan.
  EXPECT_EQ(job.inputPath, base.path() + "in");
  EXPECT_EQ(job.conversion, "");
}

TEST_F(PrepareAndRunTest, QuietKeepsTheReportAndTheEmptyInputLines) {
  std::vector<std::string> lines = run(true);
  ASSERT_EQ(lines.size(), 17u);
  EXPECT_EQ(lines.front(), "Input: " + base.path() + "in");
  EXPECT_EQ(lines[14], "Keep Subfolders: 1");
  EXPECT_EQ(lines[15], "Conversion stopped");
  EXPECT_EQ(lines[16], "No input file(s) found. Please, add valid file(s) and try again!");
}

TEST_F(PrepareAndRunTest, WithoutDebugOnlyPhaseLinesAppear) {
  job.debugMode = "debug";  // compared exactly
  std::vector<std::string> expected = {
      "Preparing...", "Importing...", "Import complete, new files added: 0", "Conversion stopped",
      "No input file(s) found. Please, add valid file(s) and try again!"};
  EXPECT_EQ(run(), expected);
}

TEST_F(PrepareAndRunTest, OptionalSectionsOfTheReport) {
  settings.doRotation = 1;
  settings.rotationAngle = -90;
  settings.doResize = 1;
  settings.resizeWidth = 800;
  settings.resizeHeight = 50;
  settings.resizeHeightUnit = 1;
  settings.doColorCorrection = 1;
  settings.gamma = 1.0f;
  settings.doThreshold = 1;
  settings.threshold = 128;
  settings.doDither = 1;
  settings.ditherAlgorithm = 2;
  settings.doFrame = 1;
  settings.frameLeft = 3;
  settings.watermarkKind = 2;
  settings.wmImage = base.path() + "mark.png";
  ASSERT_TRUE(writeWholeFile(settings.wmImage, "picture"));
  settings.fileTimestamp = 2;
  settings.customTimestamp = 86400;
  job.conversion = "jpg";
  std::vector<std::string> lines = run();
  auto has = [&lines](const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  };
  for (const char* line :
       {"JPG BPP: 0", "JPG Quality: 95", "JPG Chroma Subsampling: none", "JPG Save As: standard",
        "Image Rotation Type: simple", "Image Rotation: -90", "Image Rotation Back Color: 000000",
        "Width: 800 pixels", "Height: 50 percent", "Keep Aspect Ratio: 0",
        "Image Resize Type: allimages", "Image Resize Algorithm: bicubic", "Brightness: 0",
        "Contrast: 0", "Gamma: 1.00", "Invert: 0", "Image Threshold: 128",
        "Image Dithering Algorithm: bayer8", "Frame: solid", "Frame left: 3",
        "Frame opacity: 255", "Watermark: image", "Watermark greyscale: 0",
        "Watermark opacity: 255", "Watermark boundary: image", "Watermark position: bottomright",
        "Watermark offset (x/y): 10/10", "Watermark rotation: 0", "Watermark size/mode: fixed",
        "File Timestamp: custom", "Custom Timestamp: 86400"}) {
    EXPECT_TRUE(has(line)) << line;
  }
  EXPECT_FALSE(has("BMP BPP: 0")) << "only the chosen format's options are shown";
  EXPECT_TRUE(errorLines(lines).empty());
}

TEST_F(PrepareAndRunTest, EachFailedCheckPrintsItsLineAndStops) {
  struct Case {
    const char* name;
    std::function<void(PrepareAndRunTest&)> change;
    const char* error;
  } cases[] = {
      {"missing input file", [](auto& t) { t.job.inputPath = t.base.path() + "in/none.dds"; },
       "Error: Invalid input file"},
      {"empty input file",
       [](auto& t) {
         writeWholeFile(t.base.path() + "in/empty.dds", "");
         t.job.inputPath = t.base.path() + "in/empty.dds";
       },
       "Error: Invalid input file"},
      {"folder named like a file",
       [](auto& t) {
         createFolder(t.base.path() + "tmp.old");
         t.job.inputPath = t.base.path() + "tmp.old";
       },
       "Error: Invalid input file"},
      {"input above", [](auto& t) { t.job.inputPath = "../in"; }, "Error: Incorrect input folder"},
      {"missing input folder", [](auto& t) { t.job.inputPath = "nothing"; },
       "Error: Invalid input folder"},
      {"output above", [](auto& t) { t.job.outputFolder = "../out"; },
       "Error: Incorrect output folder"},
      {"missing output folder", [](auto& t) { t.job.outputFolder = t.base.path() + "none/"; },
       "Error: Invalid output folder"},
      {"upper-case conversion", [](auto& t) { t.job.conversion = "PNG"; },
       "Error: Invalid conversion type"},
      {"jpg quality 0",
       [](auto& t) {
         t.job.conversion = "jpg";
         t.settings.jpgQuality = 0;
       },
       "Error: Invalid jpg-quality value"},
      {"jpg depth before quality",
       [](auto& t) {
         t.job.conversion = "jpg";
         t.settings.jpgQuality = 0;
         t.settings.jpgBpp = 32;
       },
       "Error: Invalid jpg-bpp value"},
      {"webp quality 101",
       [](auto& t) {
         t.job.conversion = "webp";
         t.settings.webpQuality = 101;
       },
       "Error: Invalid webp-quality value"},
      {"width 0",
       [](auto& t) {
         t.settings.doResize = 1;
         t.settings.resizeHeight = 10;
       },
       "Error: Invalid width value"},
      {"width without height",
       [](auto& t) {
         t.settings.doResize = 1;
         t.settings.resizeWidth = 100;
       },
       "Error: Invalid height value"},
      {"brightness 101",
       [](auto& t) {
         t.settings.doColorCorrection = 1;
         t.settings.brightness = 101;
       },
       "Error: Invalid brightness value"},
      {"contrast -101",
       [](auto& t) {
         t.settings.doColorCorrection = 1;
         t.settings.contrast = -101;
       },
       "Error: Invalid contrast value"},
      {"gamma 10",
       [](auto& t) {
         t.settings.doColorCorrection = 1;
         t.settings.gamma = 10.0f;
       },
       "Error: Invalid gamma value"},
      {"gamma 0",
       [](auto& t) {
         t.settings.doColorCorrection = 1;
         t.settings.gamma = 0.0f;
       },
       "Error: Invalid gamma value"},
      {"missing watermark image",
       [](auto& t) {
         t.settings.watermarkKind = 2;
         t.settings.wmImage = t.base.path() + "none.png";
       },
       "Error: Invalid watermark image"},
      {"threads -1", [](auto& t) { t.settings.threads = "-1"; }, "Error: Invalid threads value"},
      {"threads 2x", [](auto& t) { t.settings.threads = "2x"; }, "Error: Invalid threads value"},
      {"threads 1025", [](auto& t) { t.settings.threads = "1025"; },
       "Error: Invalid threads value"},
      {"shard 0/3", [](auto& t) { t.settings.shard = "0/3"; }, "Error: Invalid shard value"},
      {"shard 4/3", [](auto& t) { t.settings.shard = "4/3"; }, "Error: Invalid shard value"},
      {"shard 1/0", [](auto& t) { t.settings.shard = "1/0"; }, "Error: Invalid shard value"},
      {"shard 2", [](auto& t) { t.settings.shard = "2"; }, "Error: Invalid shard value"},
      {"shard +1/2", [](auto& t) { t.settings.shard = "+1/2"; }, "Error: Invalid shard value"},
      {"shard past 32 bits", [](auto& t) { t.settings.shard = "1/4294967297"; },
       "Error: Invalid shard value"},
      // Only the first failing check prints.
      {"input and conversion both wrong",
       [](auto& t) {
         t.job.inputPath = "../x";
         t.job.conversion = "PNG";
       },
       "Error: Incorrect input folder"},
  };
  for (const Case& c : cases) {
    resetRun();
    c.change(*this);
    std::vector<std::string> lines = run();
    EXPECT_EQ(errorLines(lines), std::vector<std::string>{c.error}) << c.name;
    ASSERT_FALSE(lines.empty()) << c.name;
    EXPECT_EQ(lines.back(), c.error) << c.name << ": nothing after the error line";
  }
}

TEST_F(PrepareAndRunTest, EveryFormatChecksItsOwnDepthOnly) {
  for (const std::string& format : formatTables().outputExtensions) {
    resetRun();
    job.conversion = format;
    settings.bmpBpp = format == "bmp" ? 3 : 2;  // 3 and 2 are no depth of any format
    settings.ddsBpp = settings.exrBpp = settings.gifBpp = settings.hdrBpp = settings.icoBpp = 3;
    settings.j2kBpp = settings.jngBpp = settings.jp2Bpp = settings.jpgBpp = settings.jxrBpp = 3;
    settings.pbmBpp = settings.pcxBpp = settings.pfmBpp = settings.pgmBpp = settings.pngBpp = 3;
    settings.ppmBpp = settings.psdBpp = settings.tgaBpp = settings.tiffBpp = settings.wbmpBpp = 3;
    settings.webpBpp = settings.xpmBpp = 3;
    std::vector<std::string> lines = run();
    EXPECT_EQ(errorLines(lines), std::vector<std::string>{"Error: Invalid " + format + "-bpp value"})
        << format;
  }
}

TEST_F(PrepareAndRunTest, BoundaryValuesPass) {
  struct Case {
    const char* name;
    std::function<void(PrepareAndRunTest&)> change;
  } cases[] = {
      {"gamma 9.99", [](auto& t) { t.settings.doColorCorrection = 1; t.settings.gamma = 9.99f; }},
      {"gamma 0.01", [](auto& t) { t.settings.doColorCorrection = 1; t.settings.gamma = 0.01f; }},
      {"brightness -100 contrast 100",
       [](auto& t) {
         t.settings.doColorCorrection = 1;
         t.settings.brightness = -100;
         t.settings.contrast = 100;
       }},
      {"jpg quality 0 with png output", [](auto& t) {
         t.job.conversion = "png";
         t.settings.jpgQuality = 0;
       }},
      {"negative size", [](auto& t) {
         t.settings.doResize = 1;
         t.settings.resizeWidth = -5;
         t.settings.resizeHeight = -5;
       }},
      {"jpg quality 1 and depth 24", [](auto& t) {
         t.job.conversion = "jpg";
         t.settings.jpgQuality = 1;
         t.settings.jpgBpp = 24;
       }},
      {"threads 0, shard 3/3", [](auto& t) {
         t.settings.threads = "0";
         t.settings.shard = "3/3";
       }},
      {"threads 1024, shard 1/1", [](auto& t) {
         t.settings.threads = "1024";
         t.settings.shard = "1/1";
       }},
      {"relative folders below the working folder", [](auto& t) {
         t.job.inputPath = "./in";
         t.job.outputFolder = "out/";
       }},
  };
  for (const Case& c : cases) {
    resetRun();
    c.change(*this);
    std::vector<std::string> lines = run();
    EXPECT_TRUE(errorLines(lines).empty()) << c.name;
    EXPECT_EQ(lines.back(), "No input file(s) found. Please, add valid file(s) and try again!")
        << c.name;
  }
}

TEST_F(PrepareAndRunTest, WithoutOutputFolderTheInputFolderIsUsed) {
  job.outputFolder.clear();
  std::vector<std::string> lines = run();
  EXPECT_EQ(lines[2], "Output: " + base.path() + "in/");
}
