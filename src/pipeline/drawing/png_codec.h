#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pipeline/drawing/canvas.h"

// Pictures above this many pixels are refused by every decoder: a watermark
// that large would need several gigabytes on its way to the image.
inline constexpr int64_t kMaxPicturePixels = int64_t{1} << 26;

// Encodes the canvas as a PNG file (8-bit RGBA) into png.
bool encodePng(const Canvas& canvas, std::vector<uint8_t>* png);

// Decodes a PNG file of any colour type into picture: depth 32 when the file
// carries alpha (an alpha channel or a transparent colour), else 24.
bool decodePng(const std::string& data, Canvas* picture);
