#pragma once

#include "pipeline/chain_plan.h"
#include "settings/conversion_settings.h"

// The settings turned into what each part of a run needs: colours parsed,
// keyword codes as the steps' own kinds. The only code below the report that
// reads the settings record.
ChainPlan planChain(const ConversionSettings& settings);
