#include "settings/colour_report.h"

#include "pipeline/swizzle.h"
#include "pipeline/tone_map.h"
#include "settings/keyword_tables.h"

bool reportColourOptions(const ConversionSettings& s, DebugReport& report) {
  const ConversionSettings defaults;
  if (s.colorspace != defaults.colorspace) report.keyword("Colorspace: ", kColorspaceTable, s.colorspace);
  if (s.sourceColorspace != defaults.sourceColorspace) {
    report.keyword("Source Colorspace: ", kSourceColorspaceTable, s.sourceColorspace);
  }
  if (s.tonemap != defaults.tonemap) report.keyword("Tone Map: ", kTonemapTable, s.tonemap);
  if (s.exposure != defaults.exposure) report.text("Exposure: ", s.exposure);
  if (!parseExposure(s.exposure)) return report.fail("Error: Invalid exposure value");
  if (s.alphaMode != defaults.alphaMode) report.keyword("Alpha: ", kAlphaModeTable, s.alphaMode);
  if (s.swizzle != defaults.swizzle) report.text("Swizzle: ", s.swizzle);
  if (!parseSwizzle(s.swizzle)) return report.fail("Error: Invalid swizzle value");
  return true;
}
