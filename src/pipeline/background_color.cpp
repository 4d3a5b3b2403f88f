#include "pipeline/background_color.h"

#include <cstdint>
#include <string>
#include <vector>

#include "app/number_parsing.h"

namespace {

// Byte offsets where each UTF-8 character of text starts, so that "six
// characters" counts characters and not bytes.
std::vector<size_t> characterStarts(std::string_view text) {
  std::vector<size_t> starts;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
  }
  return starts;
}

BYTE hexPair(std::string_view text, const std::vector<size_t>& starts, size_t first) {
  const size_t begin = starts[first];
  const size_t end = first + 2 < starts.size() ? starts[first + 2] : text.size();
  std::string prefixed = "$";
  prefixed.append(text.substr(begin, end - begin));
  return static_cast<BYTE>(ParseInteger(prefixed) & 0xFF);
}

}  // namespace

RGBQUAD rotationBackground(std::string_view text) {
  RGBQUAD color{0, 0, 0, 0};
  const std::vector<size_t> starts = characterStarts(text);
  if (starts.size() != 6) return color;
  color.rgbRed = hexPair(text, starts, 0);
  color.rgbGreen = hexPair(text, starts, 2);
  color.rgbBlue = hexPair(text, starts, 4);
  return color;
}
