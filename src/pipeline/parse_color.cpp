#include "pipeline/parse_color.h"

#include <vector>

namespace {

// The characters of a UTF-8 text, each reduced to its first byte: only ASCII
// hexadecimal digits matter, and a multi-byte character counts once.
std::vector<char> characters(const std::string& text) {
  std::vector<char> result;
  for (char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) result.push_back(c);
  }
  return result;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

uint32_t readPair(char first, char second) {
  const int high = hexDigit(first);
  if (high < 0) return 0;
  const int low = hexDigit(second);
  if (low < 0) return static_cast<uint32_t>(high);
  return static_cast<uint32_t>(high * 16 + low);
}

}  // namespace

uint32_t parseColor(const std::string& text, int32_t alpha) {
  const uint32_t alphaByte = static_cast<uint32_t>(alpha) & 0xFF;
  const std::vector<char> chars = characters(text);
  if (chars.size() != 6) return alphaByte << 24;
  const uint32_t red = readPair(chars[0], chars[1]);
  const uint32_t green = readPair(chars[2], chars[3]);
  const uint32_t blue = readPair(chars[4], chars[5]);
  return red | green << 8 | blue << 16 | alphaByte << 24;
}
