#pragma once

#include <string>
#include <string_view>

#include "settings/conversion_job.h"
#include "settings/conversion_settings.h"

// The name without its last extension ("a.b.dds" gives "a.b").
std::string stripExtension(const std::string& name);

// Replaces every occurrence of token (any letter case) by its value for the
// current file of job.
std::string expandToken(const std::string& text, std::string_view token, const ConversionJob& job);

// Output file name of the current file from filenameMask.
std::string expandFilenameMask(const ConversionSettings& settings, const ConversionJob& job);

// wmText with its tokens expanded; literal text keeps its letter case.
std::string expandWatermarkText(const ConversionSettings& settings, const ConversionJob& job);

// outputFolder + subfolder (when kept) + expanded mask.
std::string makeOutputPath(const ConversionSettings& settings, const ConversionJob& job);
