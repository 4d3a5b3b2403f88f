#include "pipeline/background_color.h"

#include <string>

#include "pipeline/parse_color.h"

RGBQUAD rotationBackground(std::string_view text) {
  const uint32_t color = parseColor(std::string(text), 0);
  RGBQUAD quad{0, 0, 0, 0};
  quad.rgbRed = static_cast<BYTE>(color & 0xFF);
  quad.rgbGreen = static_cast<BYTE>(color >> 8 & 0xFF);
  quad.rgbBlue = static_cast<BYTE>(color >> 16 & 0xFF);
  return quad;
}
