#include "settings/watermark_font_loading.h"

// Text watermarks are drawn without a font of their own so far: every text
// watermark is accepted and the pipeline receives no font.
bool loadWatermarkFontForRun(const ConversionSettings& /*settings*/,
                             PipelineResources& resources) {
  resources.watermarkFont = nullptr;
  return true;
}

void releaseWatermarkFontForRun(PipelineResources& resources) { resources.watermarkFont = nullptr; }
