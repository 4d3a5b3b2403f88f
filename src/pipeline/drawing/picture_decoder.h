#pragma once

#include <string>

#include "pipeline/drawing/canvas.h"

enum class PictureType { kUnknown, kBmp, kIcon, kPng, kJpeg };

// The picture type from the first bytes of a file (its extension is not
// looked at): "BM", 00 00 01 00, the PNG signature or FF D8 FF.
PictureType sniffPictureType(const std::string& data);

// Reads a watermark picture: BMP, icon, PNG or JPEG, into a 24-bit picture or
// a 32-bit one with straight alpha. False for a missing, damaged, oversized or
// other kind of file (a TIFF, for example).
bool decodePicture(const std::string& path, Canvas* picture);
