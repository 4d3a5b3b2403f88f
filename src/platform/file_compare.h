#pragma once

#include <string>

// True when the regular files at a and b hold the same bytes: the same size
// and equal contents, read side by side in pieces so files of any size
// compare in constant memory. False when either cannot be read.
bool sameFileBytes(const std::string& a, const std::string& b);
