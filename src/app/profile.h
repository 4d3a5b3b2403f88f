#pragma once

#include <string>

#include "settings/conversion_settings.h"

// Applies the [CLI] group of a profile file (the first group of that name,
// compared without regard to case) to settings. Keys are the long option names
// ("--jpg-quality = 90"); keys a profile may not set (--input, --output,
// --conversion, --profile and the run-control switches) and unknown keys are
// ignored. Values are read as on the command line, except that an empty value
// is no error, a flag is set whatever its value, and the --filename-mask value
// loses the double quotes around it (other texts keep theirs).
//
// False when path is empty or the file cannot be read (missing, a folder, no
// access); true otherwise, whatever the file holds.
bool LoadProfile(const std::string& path, ConversionSettings& settings);
