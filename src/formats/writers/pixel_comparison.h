#pragma once

#include <string>

#include "formats/bitmap.h"
#include "formats/writers/verify_output.h"

// Compares a decoded output with the image it was encoded from, row by row
// (verify_pixels), by rule. Alpha is compared unless the rule compares colour
// only; a side without alpha counts as opaque. True when they match;
// otherwise *reason says where or by how much.
bool comparePixels(FIBITMAP* encoded, FIBITMAP* decoded, const VerifyRule& rule,
                   std::string* reason);
