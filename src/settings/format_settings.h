#pragma once

#include <cstdint>
#include <string>

#include "formats/output_formats.h"
#include "settings/conversion_settings.h"

// Where a run keeps each per-format option of the output format table, and
// what the table's rows mean for a run's settings.

// The value of option in the settings (0 for kNone).
int32_t formatOptionValue(const ConversionSettings& settings, FormatOption option);

// The keyword table an option's value is reported from; -1 when it is
// reported as a number.
int formatOptionKeywordTable(FormatOption option);

// The depth option of the output format (0 when it is not an output format).
int32_t requestedDepthSetting(const ConversionSettings& settings, const std::string& conversion);
