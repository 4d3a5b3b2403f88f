#include "platform/text.h"

#include <charconv>
#include <cstdint>

std::string trimLeft(std::string_view text, std::string_view characters) {
  size_t start = text.find_first_not_of(characters);
  return start == std::string_view::npos ? std::string() : std::string(text.substr(start));
}

std::string trimRight(std::string_view text, std::string_view characters) {
  size_t end = text.find_last_not_of(characters);
  return end == std::string_view::npos ? std::string() : std::string(text.substr(0, end + 1));
}

std::string trimText(std::string_view text, std::string_view characters) {
  return trimRight(trimLeft(text, characters), characters);
}

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool endsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

namespace {

// Patterns are program tokens and placeholders, all ASCII: letters A-Z fold,
// every other byte compares exactly.
char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

size_t findAsciiIgnoringCase(const std::string& text, const std::string& pattern, size_t from) {
  if (pattern.empty() || text.size() < pattern.size()) return std::string::npos;
  for (size_t i = from; i + pattern.size() <= text.size(); ++i) {
    size_t k = 0;
    while (k < pattern.size() && lowerAscii(text[i + k]) == lowerAscii(pattern[k])) ++k;
    if (k == pattern.size()) return i;
  }
  return std::string::npos;
}

}  // namespace

std::string replaceAllIgnoringCase(const std::string& text, const std::string& pattern,
                                   const std::string& replacement) {
  if (pattern.empty()) return text;
  std::string result;
  size_t position = 0;
  for (;;) {
    size_t found = findAsciiIgnoringCase(text, pattern, position);
    if (found == std::string::npos) break;
    result.append(text, position, found - position);
    result += replacement;
    position = found + pattern.size();
  }
  result.append(text, position, std::string::npos);
  return result;
}

size_t countIgnoringCase(const std::string& text, const std::string& pattern) {
  if (pattern.empty()) return 0;
  size_t count = 0;
  size_t position = 0;
  for (;;) {
    size_t found = findAsciiIgnoringCase(text, pattern, position);
    if (found == std::string::npos) break;
    ++count;
    position = found + pattern.size();
  }
  return count;
}

namespace {

uint32_t readUnit(std::string_view bytes, size_t i, size_t width, bool bigEndian) {
  uint32_t value = 0;
  for (size_t k = 0; k < width; ++k) {
    uint32_t b = static_cast<unsigned char>(bytes[i + (bigEndian ? k : width - 1 - k)]);
    value = (value << 8) | b;
  }
  return value;
}

}  // namespace

void appendUtf8(std::string& out, char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::string latin1ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) appendUtf8(out, static_cast<unsigned char>(c));
  return out;
}

std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  std::string out;
  for (size_t i = 0; i + 2 <= bytes.size(); i += 2) {
    uint32_t unit = readUnit(bytes, i, 2, bigEndian);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 4 <= bytes.size()) {
      uint32_t low = readUnit(bytes, i + 2, 2, bigEndian);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    appendUtf8(out, unit);
  }
  return out;
}

std::string utf32ToUtf8(std::string_view bytes, bool bigEndian) {
  std::string out;
  for (size_t i = 0; i + 4 <= bytes.size(); i += 4) appendUtf8(out, readUnit(bytes, i, 4, bigEndian));
  return out;
}

size_t decodeUtf8Sequence(std::string_view text, size_t i, char32_t* codePoint) {
  unsigned char c = static_cast<unsigned char>(text[i]);
  size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
  if (length == 0 || i + length > text.size()) return 0;
  char32_t value = length == 1 ? c : c & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) {
    unsigned char next = static_cast<unsigned char>(text[i + k]);
    if ((next & 0xC0) != 0x80) return 0;
    value = (value << 6) | (next & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not UTF-8; they
  // pass through byte by byte instead of turning into other characters.
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < kSmallest[length] || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) {
    return 0;
  }
  *codePoint = value;
  return length;
}

std::vector<char32_t> decodeUtf8(std::string_view text) {
  constexpr char32_t kReplacement = 0xFFFD;
  std::vector<char32_t> result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t codePoint = 0;
    const size_t length = decodeUtf8Sequence(text, i, &codePoint);
    result.push_back(length == 0 ? kReplacement : codePoint);
    i += length == 0 ? 1 : length;
  }
  return result;
}

std::string sanitizeUtf8(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (char32_t c : decodeUtf8(text)) appendUtf8(result, c);
  return result;
}

namespace {

void appendEscapedByte(std::string& out, unsigned char byte) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += "\\x";
  out.push_back(kHex[byte >> 4]);
  out.push_back(kHex[byte & 0xF]);
}

}  // namespace

std::string escapeForDisplay(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const auto byte = static_cast<unsigned char>(text[i]);
    char32_t codePoint = 0;
    const size_t length = decodeUtf8Sequence(text, i, &codePoint);
    if (length == 0) {
      appendEscapedByte(out, byte);
      ++i;
      continue;
    }
    if (codePoint == '\\') {
      out += "\\\\";
    } else if (codePoint == '\n') {
      out += "\\n";
    } else if (codePoint == '\r') {
      out += "\\r";
    } else if (codePoint == '\t') {
      out += "\\t";
    } else if (codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F)) {
      // C0 and C1 controls, DEL included: each byte escaped, so U+0085 (a line
      // end to some readers) shows as "\xc2\x85".
      for (size_t k = 0; k < length; ++k) appendEscapedByte(out, static_cast<unsigned char>(text[i + k]));
    } else {
      out.append(text, i, length);
    }
    i += length;
  }
  return out;
}

std::optional<int32_t> parseDecimalCount(std::string_view text) {
  if (text.empty()) return std::nullopt;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  int32_t value = 0;
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}
