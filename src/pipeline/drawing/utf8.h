#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The code points of a UTF-8 text; a byte that does not start a valid sequence
// becomes U+FFFD, so any text can be drawn.
std::vector<char32_t> decodeUtf8(const std::string& text);

// The text with every invalid sequence replaced by U+FFFD (for libraries that
// refuse invalid UTF-8 outright).
std::string sanitizeUtf8(const std::string& text);
