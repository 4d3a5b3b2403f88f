#pragma once

#include "pipeline/chain_plan.h"
#include "pipeline/drawing/watermark_font.h"
#include "settings/conversion_settings.h"

// The settings turned into what each part of a run needs: colours parsed,
// keyword codes as the steps' own kinds. The only code below the report that
// reads the settings record.
ChainPlan planChain(const ConversionSettings& settings);

// The font a text watermark is drawn with.
FontRequest planWatermarkFont(const ConversionSettings& settings);
