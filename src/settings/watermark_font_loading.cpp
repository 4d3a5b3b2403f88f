#include "settings/watermark_font_loading.h"

#include "pipeline/drawing/watermark_font.h"

// The pipeline only borrows the font; it is owned here from loading to release.
bool loadWatermarkFontForRun(const ConversionSettings& settings, PipelineResources& resources) {
  releaseWatermarkFontForRun(resources);
  resources.watermarkFont = createWatermarkFont(settings).release();
  return resources.watermarkFont != nullptr;
}

void releaseWatermarkFontForRun(PipelineResources& resources) {
  delete resources.watermarkFont;
  resources.watermarkFont = nullptr;
}
