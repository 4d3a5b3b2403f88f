#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/writers/jxr_encoder.h"

// The libjxr side of reading a JPEG XR file back, kept apart from every
// FreeImage header for the reason jxr_encoder.h gives.

struct JxrDecoded {
  JxrPixelFormat format = JxrPixelFormat::Rgb24;
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t stride = 0;          // bytes a row
  std::vector<uint8_t> pixels;  // height rows, top row first, in the file's own pixel format
};

// Decodes the file in bytes without converting its pixel format. False for a
// file libjxr refuses or a pixel format outside JxrPixelFormat.
bool decodeJxr(const uint8_t* bytes, size_t size, JxrDecoded* decoded);
