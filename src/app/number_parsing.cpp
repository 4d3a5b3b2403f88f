#include "app/number_parsing.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "platform/text.h"

int64_t ParseInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  uint64_t base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i < text.size() && text[i] == '%') {
    base = 2;
    ++i;
  }
  uint64_t value = 0;  // unsigned so that overflow wraps instead of being undefined
  for (; i < text.size(); ++i) {
    char c = text[i];
    uint64_t digit;
    if (c >= '0' && c <= '9') {
      digit = static_cast<uint64_t>(c - '0');
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = static_cast<uint64_t>(c - 'a' + 10);
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = static_cast<uint64_t>(c - 'A' + 10);
    } else {
      break;
    }
    if (digit >= base) break;
    value = value * base + digit;
  }
  if (negative) value = ~value + 1;
  return static_cast<int64_t>(value);
}

float ParseReal(std::string_view text) {
  std::string upper = toUpperText(trimText(text, " \t"));
  if (upper == "+INFINITY") return std::numeric_limits<float>::infinity();
  if (upper == "-INFINITY") return -std::numeric_limits<float>::infinity();
  if (upper == "NAN") return std::numeric_limits<float>::quiet_NaN();
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  std::string_view rest = text.substr(i);
  bool negative = false;
  if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) {
    negative = rest[0] == '-';
    rest.remove_prefix(1);
  }
  // from_chars reads the longest prefix that forms a number, independent of
  // the locale; it rejects a leading sign, which is handled above.
  float value = 0.0f;
  auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value,
                                      std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    value = std::numeric_limits<float>::infinity();
  } else if (error != std::errc() || end == rest.data()) {
    return 0.0f;
  }
  return negative ? -value : value;
}
