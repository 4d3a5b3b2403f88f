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

template <typename Map>
std::string mapCase(std::string_view text, Map map) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t c = 0;
    size_t length = decodeUtf8Sequence(text, i, &c);
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
  size_t first = decodeUtf8Sequence(text, 0, &c);
  if (first == 0) first = 1;
  return toUpperText(text.substr(0, first)) + toLowerText(text.substr(first));
}
