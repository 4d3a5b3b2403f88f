#pragma once

#include <string>

#include "settings/conversion_job.h"
#include "settings/conversion_settings.h"

// prefix + the local date value's decimal digits written as letters
// ('a' for 0 ... 'j' for 9) + five random letters a..z + suffix.
std::string makeUniqueName(const std::string& prefix, const std::string& suffix);

// A fresh path in the folder the output file goes to, ending in
// "." + conversion, that names no existing file. Writers save there first and
// rename over job.outputFile only after a complete save. With an output file
// set, its folder is used (a filename mask may name a folder below the output
// folder); otherwise the output folder plus the kept subfolder.
std::string makeTempPath(const ConversionSettings& settings, const ConversionJob& job);
