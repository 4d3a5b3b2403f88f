#pragma once

#include <string>

#include "settings/conversion_job.h"
#include "settings/conversion_settings.h"

// prefix + the local date value's decimal digits written as letters
// ('a' for 0 ... 'j' for 9) + five random letters a..z + suffix.
std::string makeUniqueName(const std::string& prefix, const std::string& suffix);

// A fresh temporary path in the folder of outputPath (the current folder when
// it has none): ".pellucid" + unique letters + ".tmp". The leading dot and
// the ".tmp" end make a leftover of a killed run recognisable and keep it out
// of every later scan for ".dds" inputs.
std::string temporaryPathBeside(const std::string& outputPath);

// A temporary path in the folder the output file goes to. With an output file
// set, its folder is used (a filename mask may name a folder below the output
// folder); otherwise the output folder plus the kept subfolder. The file is
// created exclusively, so a name that turns out taken is simply drawn again.
std::string makeTempPath(const ConversionSettings& settings, const ConversionJob& job);
