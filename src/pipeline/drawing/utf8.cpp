#include "pipeline/drawing/utf8.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Reads one code point at position; advances position past it.
char32_t nextCodePoint(const std::string& text, size_t& position) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(position);
  int length = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    ++position;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    ++position;
    return kReplacement;
  }
  if (position + length > text.size()) {
    ++position;
    return kReplacement;
  }
  for (int i = 1; i < length; ++i) {
    const unsigned char continuation = byte(position + i);
    if ((continuation & 0xC0) != 0x80) {
      ++position;
      return kReplacement;
    }
    value = value << 6 | (continuation & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    ++position;
    return kReplacement;
  }
  position += length;
  return value;
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::vector<char32_t> decodeUtf8(const std::string& text) {
  std::vector<char32_t> result;
  result.reserve(text.size());
  size_t position = 0;
  while (position < text.size()) result.push_back(nextCodePoint(text, position));
  return result;
}

std::string sanitizeUtf8(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (char32_t c : decodeUtf8(text)) appendUtf8(result, c);
  return result;
}
