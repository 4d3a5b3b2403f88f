#pragma once

#include <string>
#include <vector>

// The 38 lines of "-h", placeholders filled: programName for %s1%, an input
// extension for the examples and the first output extension ("bmp") for the
// -c example. A blank line is one space.
std::vector<std::string> helpLines(const std::string& programName);
