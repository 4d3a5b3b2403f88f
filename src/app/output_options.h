#pragma once

#include <string>
#include <vector>

#include "settings/conversion_settings.h"

// The options of a run that shape its outputs, as long options in the order
// of the option reference: "--conversion=EXT" first, then every row whose
// value (or the switch it turns on) differs from the default, "--name=value"
// ("--name" for a flag). Options that only steer the run (threads, shards,
// reports, records, exit status, progress) are left out, so they never make
// a record out of date.
std::vector<std::string> outputShapingOptions(const ConversionSettings& settings,
                                              const std::string& conversion);

// The record key of a run: its output-shaping options, whether sidecars are
// written, and the program version.
std::string recordKeyOf(const std::vector<std::string>& options, bool sidecars);
