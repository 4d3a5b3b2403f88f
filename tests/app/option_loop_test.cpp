#include "app/option_loop.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>

#include "app/option_table.h"
#include "app/parameters.h"
#include "app/profile.h"
#include "platform/files.h"
#include "support/temp_dir.h"

namespace {

using Check = std::function<bool(const ConversionSettings&, const ConversionJob&, const RunFlags&)>;

struct OptionCase {
  const char* commandLine;  // split like a raw command line
  Check check;
};

#define FILLS(line, expression)                                                          \
  OptionCase {                                                                           \
    line, [](const ConversionSettings& s, const ConversionJob& j, const RunFlags& f) { \
      (void)s, (void)j, (void)f;                                                         \
      return (expression);                                                               \
    }                                                                                    \
  }

// One case per option: a value different from the default and the fields it
// must reach, enable fields included.
const std::vector<OptionCase>& everyOption() {
  static const std::vector<OptionCase> cases = {
      FILLS("-i In.dds", j.inputPath == "In.dds" && j.consoleMode == 1),
      FILLS("--input=In.dds", j.inputPath == "In.dds" && j.consoleMode == 1),
      FILLS("-o Out", j.outputFolder == "Out" && j.consoleMode == 0),
      FILLS("--output=Out", j.outputFolder == "Out"),
      FILLS("-c png", j.conversion == "png"),
      FILLS("--conversion=PNG", j.conversion == "PNG"),
      FILLS("--no-subfolders=yes", s.keepSubfolders == 0),
      FILLS("--dds-load-as=bgra", s.ddsLoadAs == 1),
      FILLS("--gif-frame-loading=last", s.gifFrameLoading == 3),
      FILLS("--ico-frame-loading=random", s.icoFrameLoading == 4),
      FILLS("--psd-color-mode=lab", s.psdColorMode == 2),
      FILLS("--raw-load-as=48hs", s.rawLoadAs == 4),
      FILLS("--raw-header-size=$10", s.rawHeaderSize == 16),
      FILLS("--raw-width=640", s.rawWidth == 640),
      FILLS("--raw-height=%11", s.rawHeight == 3),
      FILLS("--raw-tone-mapping=none", s.rawToneMapping == 0),
      FILLS("--tiff-frame-loading=middle", s.tiffFrameLoading == 2),
      FILLS("--mipmaps=ALL", s.mipmaps == 1),
      FILLS("--faces=all", s.faces == 1),
      FILLS("--layers=All", s.layers == 1),
      FILLS("--normal-map=auto", s.normalMap == 2),
      FILLS("--colorspace=AUTO", s.colorspace == 1),
      FILLS("--source-colorspace=linear", s.sourceColorspace == 2),
      FILLS("--tonemap=aces", s.tonemap == 2),
      FILLS("--exposure=-1.5", s.exposure == "-1.5"),
      FILLS("--alpha=separate", s.alphaMode == 3),
      FILLS("--swizzle=BGR1", s.swizzle == "BGR1"),
      FILLS("--bmp-bpp=8", s.bmpBpp == 8),
      FILLS("--bmp-compression=rle", s.bmpCompression == 1),
      FILLS("--bmp-color-table=exact", s.bmpColorTable == 1),
      FILLS("--dds-bpp=32", s.ddsBpp == 32),
      FILLS("--exr-bpp=96", s.exrBpp == 96),
      FILLS("--exr-compression=b44", s.exrCompression == 4),
      FILLS("--gif-bpp=8", s.gifBpp == 8),
      FILLS("--hdr-bpp=96", s.hdrBpp == 96),
      FILLS("--ico-bpp=4", s.icoBpp == 4),
      FILLS("--j2k-bpp=48", s.j2kBpp == 48),
      FILLS("--jng-bpp=24", s.jngBpp == 24),
      FILLS("--jp2-bpp=24", s.jp2Bpp == 24),
      FILLS("--jpg-bpp=8", s.jpgBpp == 8),
      FILLS("--jpg-quality=77", s.jpgQuality == 77),
      FILLS("--jpg-chroma=high", s.jpgChroma == 3),
      FILLS("--jpg-save-as=progressive", s.jpgSaveAs == 3),
      FILLS("--jxr-bpp=16", s.jxrBpp == 16),
      FILLS("--pbm-bpp=1", s.pbmBpp == 1),
      FILLS("--pcx-bpp=24", s.pcxBpp == 24),
      FILLS("--pfm-bpp=96", s.pfmBpp == 96),
      FILLS("--pgm-bpp=8", s.pgmBpp == 8),
      FILLS("--png-bpp=48", s.pngBpp == 48),
      FILLS("--png-compression=zlib9", s.pngCompression == 3),
      FILLS("--png-interlaced", s.pngInterlaced == 1),
      FILLS("--ppm-bpp=48", s.ppmBpp == 48),
      FILLS("--psd-bpp=32", s.psdBpp == 32),
      FILLS("--tga-bpp=16", s.tgaBpp == 16),
      FILLS("--tga-compression=rle", s.tgaCompression == 1),
      FILLS("--tiff-bpp=96", s.tiffBpp == 96),
      FILLS("--tiff-compression=logluv", s.tiffCompression == 8),
      FILLS("--tiff-color-mode=cmyk", s.tiffColorMode == 1),
      FILLS("--wbmp-bpp=1", s.wbmpBpp == 1),
      FILLS("--webp-bpp=24", s.webpBpp == 24),
      FILLS("--webp-quality=60", s.webpQuality == 60),
      FILLS("--xpm-bpp=24", s.xpmBpp == 24),
      FILLS("--rotation-type=advanced", s.rotationType == 1),
      FILLS("--rotation=-90", s.doRotation == 1 && s.rotationAngle == -90),
      FILLS("--rotation-back-color=ff8000", s.rotationBackColor == "ff8000"),
      FILLS("--width=640", s.doResize == 1 && s.resizeWidth == 640 && s.resizeHeight == 0),
      FILLS("--width-unit=percent", s.resizeWidthUnit == 1),
      FILLS("--height=480", s.doResize == 1 && s.resizeHeight == 480 && s.resizeWidth == 0),
      FILLS("--height-unit=percent", s.resizeHeightUnit == 1),
      FILLS("--keep-aspect-ratio", s.keepAspectRatio == 1),
      FILLS("--resize-type=largeimages", s.resizeType == 1),
      FILLS("--resize-algorithm=lanczos", s.resizeAlgorithm == 5),
      FILLS("--flip-horizontal", s.flipHorizontal == 1 && s.flipVertical == 0),
      FILLS("--flip-vertical", s.flipVertical == 1 && s.flipHorizontal == 0),
      FILLS("--brightness=-50", s.doColorCorrection == 1 && s.brightness == -50),
      FILLS("--contrast=25", s.doColorCorrection == 1 && s.contrast == 25),
      FILLS("--gamma=2.2", s.doColorCorrection == 1 && s.gamma == 2.2f),
      FILLS("--invert=no", s.doColorCorrection == 1 && s.invert == 1),
      FILLS("--greyscale", s.greyscale == 1 && s.doColorCorrection == 0),
      FILLS("--threshold=128", s.doThreshold == 1 && s.threshold == 128),
      FILLS("--dither=cluster16", s.doDither == 1 && s.ditherAlgorithm == 6),
      FILLS("--fr-solid-left=3", s.doFrame == 1 && s.frameLeft == 3),
      FILLS("--fr-solid-right=4", s.doFrame == 1 && s.frameRight == 4),
      FILLS("--fr-solid-top=5", s.doFrame == 1 && s.frameTop == 5),
      FILLS("--fr-solid-bottom=6", s.doFrame == 1 && s.frameBottom == 6),
      FILLS("--fr-solid-left-color=FF0000", s.frameLeftColor == "FF0000" && s.doFrame == 0),
      FILLS("--fr-solid-right-color=00FF00", s.frameRightColor == "00FF00"),
      FILLS("--fr-solid-top-color=0000FF", s.frameTopColor == "0000FF"),
      FILLS("--fr-solid-bottom-color=FFFFFF", s.frameBottomColor == "FFFFFF"),
      FILLS("--fr-solid-opacity=128", s.frameOpacity == 128 && s.doFrame == 0),
      FILLS("--wm-text=Hi", s.watermarkKind == 1 && s.wmText == "Hi"),
      FILLS("\"--wm-font=Liberation Serif\"", s.wmFont == "Liberation Serif"),
      FILLS("--wm-font-size=30", s.wmFontSize == 30),
      FILLS("--wm-font-leading=-2", s.wmFontLeading == -2),
      FILLS("--wm-font-color=00FFFF", s.wmFontColor == "00FFFF"),
      FILLS("--wm-font-style=bolditalic", s.wmFontStyle == 3),
      FILLS("--wm-font-effect=strikethrought", s.wmFontEffect == 2),
      FILLS("--wm-text-antialiasing", s.wmTextAntialiasing == 1),
      FILLS("--wm-text-alignment=right", s.wmTextAlignment == 2),
      FILLS("--wm-text-padding=7", s.wmTextPadding == 7),
      FILLS("--wm-text-opacity=100", s.wmTextOpacity == 100),
      FILLS("--wm-back-color=123456", s.wmBackColor == "123456"),
      FILLS("--wm-back-opacity=0", s.wmBackOpacity == 0),
      FILLS("--wm-text-boundary=frame", s.wmTextBoundary == 1),
      FILLS("--wm-text-position=topleft", s.wmTextPosition == 0),
      FILLS("--wm-text-x-offset=-3", s.wmTextXOffset == -3),
      FILLS("--wm-text-y-offset=4", s.wmTextYOffset == 4),
      FILLS("--wm-text-rotation=45", s.wmTextRotation == 45),
      FILLS("--wm-text-size=nonsense", s.wmTextSize == 0),
      FILLS("--wm-image=logo.png", s.watermarkKind == 2 && s.wmImage == "logo.png"),
      FILLS("--wm-image-greyscale", s.wmImageGreyscale == 1),
      FILLS("--wm-image-opacity=50", s.wmImageOpacity == 50),
      FILLS("--wm-image-boundary=frame", s.wmImageBoundary == 1),
      FILLS("--wm-image-position=middlecenter", s.wmImagePosition == 4),
      FILLS("--wm-image-x-offset=11", s.wmImageXOffset == 11),
      FILLS("--wm-image-y-offset=12", s.wmImageYOffset == 12),
      FILLS("--wm-image-rotation=270", s.wmImageRotation == 270),
      FILLS("--wm-image-size=fixed", s.wmImageSize == 0),
      FILLS("--filename-mask=%filename%_small", s.filenameMask == "%filename%_small"),
      FILLS("--file-timestamp=original", s.fileTimestamp == 1),
      FILLS("--file-timestamp-custom=1000000000", s.customTimestamp == 1000000000),
      FILLS("--threads=3", s.threads == "3"),
      FILLS("--shard=2/5", s.shard == "2/5"),
      FILLS("--verify", s.verifyOutputs == 1),
      FILLS("--info", s.info == 1),
      FILLS("--report=r.jsonl", s.reportFile == "r.jsonl"),
      FILLS("--skip-unchanged", s.skipUnchanged == 1),
      FILLS("--dedupe", s.dedupe == 1),
      FILLS("--dry-run", s.dryRun == 1),
      FILLS("--sidecar", s.sidecar == 1),
      FILLS("-d", j.debugMode == "DEBUG"),
      FILLS("--debug", j.debugMode == "DEBUG"),
      FILLS("-q", f.quiet && !f.pause),
      FILLS("--quiet", f.quiet),
      FILLS("-p", f.pause && !f.quiet),
      FILLS("--pause", f.pause),
      FILLS("--exit-code", s.exitCode == 1 && s.showProgress == 1),
      FILLS("--no-progress", s.showProgress == 0 && s.exitCode == 0),
      // Only the first parameter asks for help or the version; elsewhere
      // they change nothing.
      FILLS("-h", !f.quiet && !f.pause && j.consoleMode == 0),
      FILLS("-v", !f.quiet && !f.pause && j.consoleMode == 0),
  };
  return cases;
}

struct Outcome {
  ConversionSettings settings;
  ConversionJob job;
  RunFlags flags;
  std::string error;
};

Outcome run(const std::string& commandLine) {
  Outcome outcome;
  resetSettings(outcome.settings, true);
  resetJob(outcome.job);
  outcome.error =
      runOptionLoop(splitCommandLine(commandLine), outcome.settings, outcome.job, outcome.flags);
  return outcome;
}

}  // namespace

TEST(OptionLoop, EveryOptionFillsItsFields) {
  for (const OptionCase& c : everyOption()) {
    Outcome outcome = run(c.commandLine);
    EXPECT_EQ(outcome.error, "") << c.commandLine;
    EXPECT_TRUE(c.check(outcome.settings, outcome.job, outcome.flags)) << c.commandLine;
  }
}

TEST(OptionLoop, CasesCoverEveryRowOfTheOptionTable) {
  std::set<const OptionRow*> covered;
  for (const OptionCase& c : everyOption()) {
    covered.insert(findOption(ParameterName(splitCommandLine(c.commandLine), 0)));
  }
  for (const OptionRow& row : optionTable()) {
    if (row.kind == OptionKind::kProfile) continue;  // profile tests cover it
    EXPECT_TRUE(covered.count(&row)) << row.longName;
  }
}

TEST(OptionLoop, ProfileEntriesFillTheSameFieldsAsTheCommandLine) {
  TempDir folder;
  for (const OptionCase& c : everyOption()) {
    std::vector<std::string> parameters = splitCommandLine(c.commandLine);
    const OptionRow* row = findOption(ParameterName(parameters, 0));
    ASSERT_NE(row, nullptr) << c.commandLine;
    if (!row->inProfile) continue;
    std::string value = row->kind == OptionKind::kFlag ? "" : ParameterValue(parameters, 0);
    std::string path = folder.path() + "p.ini";
    ASSERT_TRUE(writeWholeFile(path, "[CLI]\n" + std::string(row->longName) + " = " + value + "\n"));
    Outcome outcome = run("--profile=" + path);
    EXPECT_EQ(outcome.error, "") << c.commandLine;
    EXPECT_TRUE(c.check(outcome.settings, outcome.job, outcome.flags)) << "profile " << c.commandLine;
  }
}

TEST(OptionLoop, MissingValuesGiveTheParameterCountError) {
  const char* failing[] = {
      "--jpg-quality 95", "--jpg-quality=",   "--jpg-quality",  "--wm-text=--x",
      "-i",               "-i -p",            "-o -x",          "-c",
      "--input",          "--input=",         "--input=-a.dds", "--output=--x",
      "-i a.dds -o",      "--gamma=",         "--dither",       "--profile",
      "--profile=",       "--profile=--x.ini", "--width= ",     "--rotation-back-color",
  };
  for (const char* line : failing) {
    EXPECT_EQ(run(line).error, "Incorrect number of parameters") << line;
  }
}

TEST(OptionLoop, ValuesThatAreNotNumbersOrKeywordsAreStoredWithoutError) {
  struct Case {
    const char* line;
    std::function<bool(const ConversionSettings&)> check;
  } cases[] = {
      {"--rotation=abc", [](auto& s) { return s.doRotation == 1 && s.rotationAngle == 0; }},
      {"--dds-load-as=xyz", [](auto& s) { return s.ddsLoadAs == 0; }},
      {"--gamma=1,5", [](auto& s) { return s.gamma == 1.0f; }},
      {"--width=$10", [](auto& s) { return s.resizeWidth == 16; }},
      {"--brightness=-50", [](auto& s) { return s.brightness == -50; }},
      {"--jpg-quality=95px", [](auto& s) { return s.jpgQuality == 95; }},
      // Integers keep the low 32 bits of the parsed number.
      {"--width=4294967297", [](auto& s) { return s.resizeWidth == 1; }},
      {"--width=2147483648", [](auto& s) { return s.resizeWidth == INT32_MIN; }},
      {"--width=99999999999999999999999", [](auto& s) { return s.doResize == 1; }},
      {"--gamma=1e999", [](auto& s) { return std::isinf(s.gamma); }},
      {"--gamma=NaN", [](auto& s) { return std::isnan(s.gamma); }},
      {"--png-compression=PIZ", [](auto& s) { return s.pngCompression == 2; }},
      {"--dither=\xff\xfe", [](auto& s) { return s.doDither == 1 && s.ditherAlgorithm == 0; }},
      {"--wm-text=\xff\xfe", [](auto& s) { return s.wmText == "\xff\xfe"; }},
  };
  for (const Case& c : cases) {
    Outcome outcome = run(c.line);
    EXPECT_EQ(outcome.error, "") << c.line;
    EXPECT_TRUE(c.check(outcome.settings)) << c.line;
  }
}

TEST(OptionLoop, LastOccurrenceWinsAndEnableFlagsStayOn) {
  Outcome twice = run("-i first.dds -i second.dds --jpg-quality=10 --Jpg-Quality=90");
  EXPECT_EQ(twice.job.inputPath, "second.dds");
  EXPECT_EQ(twice.settings.jpgQuality, 90);

  Outcome textThenImage = run("--wm-text=Hi --wm-image=logo.png");
  EXPECT_EQ(textThenImage.settings.watermarkKind, 2);
  EXPECT_EQ(textThenImage.settings.wmText, "Hi");
  EXPECT_EQ(textThenImage.settings.wmImage, "logo.png");
  EXPECT_EQ(run("--wm-image=logo.png --wm-text=Hi").settings.watermarkKind, 1);

  // Nothing switches an enable field off again.
  Outcome rotated = run("--rotation=90 --rotation=0");
  EXPECT_EQ(rotated.settings.doRotation, 1);
  EXPECT_EQ(rotated.settings.rotationAngle, 0);
}

TEST(OptionLoop, TheFirstErrorStopsTheLoopAndKeepsWhatCameBefore) {
  Outcome outcome = run("--jpg-quality=50 -p --width --height=7 -q");
  EXPECT_EQ(outcome.error, "Incorrect number of parameters");
  EXPECT_EQ(outcome.settings.jpgQuality, 50);
  EXPECT_TRUE(outcome.flags.pause);
  EXPECT_EQ(outcome.settings.resizeHeight, 0);
  EXPECT_FALSE(outcome.flags.quiet);

  // -i with a bad value still counts as naming an input.
  EXPECT_EQ(run("-i -p").job.consoleMode, 1);
  EXPECT_FALSE(run("-i -p").flags.pause);
}

TEST(OptionLoop, UnknownParametersAndSpecialNamesAreSkipped) {
  Outcome outcome = run("stray -i=a.dds -h -v --help -? -U --unknown=1 -x");
  EXPECT_EQ(outcome.error, "");
  EXPECT_EQ(outcome.job.consoleMode, 0);
  EXPECT_EQ(outcome.job.inputPath, "");

  // A value keeps its case; a quoted value arrives without its quotes.
  Outcome cased = run("-i C:\\Images\\A.dds \"--wm-text=Hello World\"");
  EXPECT_EQ(cased.job.inputPath, "C:\\Images\\A.dds");
  EXPECT_EQ(cased.settings.wmText, "Hello World");
  EXPECT_EQ(run("--wm-text=\"Hello World\"").settings.wmText, "Hello World");
  // A single-dash flag with "=" has another name and is skipped.
  EXPECT_EQ(run("-d=1").job.debugMode, "");
}

TEST(OptionLoop, ProfilePrecedenceFollowsThePositionOnTheCommandLine) {
  TempDir folder;
  std::string path = folder.path() + "p.ini";
  ASSERT_TRUE(writeWholeFile(path, "[CLI]\n--jpg-quality = 90\n"));
  EXPECT_EQ(run("--jpg-quality=80 --profile=" + path).settings.jpgQuality, 90);
  EXPECT_EQ(run("--profile=" + path + " --jpg-quality=80").settings.jpgQuality, 80);

  Outcome missing = run("--jpg-quality=80 --profile=" + folder.path() + "missing.ini -q");
  EXPECT_EQ(missing.error, "Invalid profile file");
  EXPECT_EQ(missing.settings.jpgQuality, 80);
  EXPECT_FALSE(missing.flags.quiet);
  EXPECT_EQ(run("--profile=" + folder.path()).error, "Invalid profile file");
}
