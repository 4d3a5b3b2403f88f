#pragma once

#include <string>

// prefix + the local date value's decimal digits written as letters
// ('a' for 0 ... 'j' for 9) + five random letters a..z + suffix.
std::string makeUniqueName(const std::string& prefix, const std::string& suffix);

// A fresh temporary path in the folder of outputPath (the current folder when
// it has none): ".pellucid" + unique letters + ".tmp". The leading dot and
// the ".tmp" end make a leftover of a killed run recognisable and keep it out
// of every later scan for ".dds" inputs.
std::string temporaryPathBeside(const std::string& outputPath);
