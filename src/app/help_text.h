#pragma once

#include <string>
#include <vector>

// The 38 lines of "-h": usage, examples (programName for %s1%, an input
// extension, and the first output extension "bmp" for the -c example), then
// the option table's help rows by section. A blank line is one space.
std::vector<std::string> helpLines(const std::string& programName);
