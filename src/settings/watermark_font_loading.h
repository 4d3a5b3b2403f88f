#pragma once

#include "pipeline/convert_file.h"
#include "settings/conversion_settings.h"

// The font of a text watermark is created once per run, before the first
// file, and lives until the batch has ended.

// Creates the font from wmFont, wmFontSize, wmFontStyle and wmFontEffect and
// points resources.watermarkFont at it. False when it cannot be created.
bool loadWatermarkFontForRun(const ConversionSettings& settings, PipelineResources& resources);

// Frees the font made by loadWatermarkFontForRun, if any.
void releaseWatermarkFontForRun(PipelineResources& resources);
