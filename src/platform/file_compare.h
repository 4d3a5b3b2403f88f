#pragma once

#include <string>
#include <string_view>

// True when the regular files at a and b hold the same bytes: the same size
// and equal contents, read side by side in pieces so files of any size
// compare in constant memory. False when either cannot be read.
bool sameFileBytes(const std::string& a, const std::string& b);

// True when the regular file at path holds exactly bytes. False when it
// cannot be read.
bool fileHoldsBytes(const std::string& path, std::string_view bytes);
