#pragma once

#include <string>
#include <vector>

// The lines a run with every option at its default prints from "Preparing..."
// on, for an empty input folder and a BMP conversion (-d, or the preparation
// pass on its own).
std::vector<std::string> defaultReportOfEmptyBmpRun(const std::string& input,
                                                    const std::string& output);
