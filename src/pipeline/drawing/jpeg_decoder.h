#pragma once

#include <string>

#include "pipeline/drawing/canvas.h"

// Decodes a JPEG file (grey, colour or CMYK) into a 24-bit picture. False for
// a damaged file or one above the picture size limit; nothing is printed.
bool decodeJpeg(const std::string& data, Canvas* picture);
