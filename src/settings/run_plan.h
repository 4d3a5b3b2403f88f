#pragma once

#include "batch/batch_plan.h"
#include "pipeline/chain_plan.h"
#include "pipeline/drawing/watermark_font.h"
#include "settings/conversion_settings.h"
#include "settings/run_targets.h"

// The settings turned into what each part of a run needs: colours parsed,
// keyword codes as the steps' own kinds. The only code below the report that
// reads the two records.

// The plan of a run the preparation pass has checked and resolved: format
// code, save flags and depth come from the settings for run.conversion.
BatchPlan planRun(const ConversionSettings& settings, const RunTargets& run);

// The chain part of it; the depth step is left at its defaults.
ChainPlan planChain(const ConversionSettings& settings);

// The font a text watermark is drawn with.
FontRequest planWatermarkFont(const ConversionSettings& settings);
