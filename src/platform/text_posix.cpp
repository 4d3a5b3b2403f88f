#include <locale.h>
#include <wctype.h>

#include "platform/text.h"

namespace {

locale_t utf8Locale() {
  static locale_t locale = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    if (!l) l = newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
    return l;
  }();
  return locale;
}

// Decodes one UTF-8 sequence at text[i]; returns its length, 0 when invalid.
size_t decodeUtf8(std::string_view text, size_t i, char32_t* codePoint) {
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

void appendUtf8(std::string& out, char32_t c) {
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

template <typename Map>
std::string mapCase(std::string_view text, Map map) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t c = 0;
    size_t length = decodeUtf8(text, i, &c);
    if (length == 0) {
      out.push_back(text[i]);
      ++i;
      continue;
    }
    appendUtf8(out, static_cast<char32_t>(map(static_cast<wint_t>(c), utf8Locale())));
    i += length;
  }
  return out;
}

}  // namespace

std::string toUpperText(std::string_view text) { return mapCase(text, towupper_l); }

std::string toLowerText(std::string_view text) { return mapCase(text, towlower_l); }

std::string toTitleText(std::string_view text) {
  if (text.empty()) return std::string();
  char32_t c = 0;
  size_t first = decodeUtf8(text, 0, &c);
  if (first == 0) first = 1;
  return toUpperText(text.substr(0, first)) + toLowerText(text.substr(first));
}
