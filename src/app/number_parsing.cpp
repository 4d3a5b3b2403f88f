#include "app/number_parsing.h"

#include <algorithm>
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

namespace {

// from_chars reports both overflow and underflow as out of range: a number too
// large for a float becomes infinity, one too close to zero becomes 0.
float outOfRangeValue(std::string_view number) {
  size_t exponentAt = number.find_first_of("eE");
  std::string_view mantissa = number.substr(0, exponentAt);
  // Decimal exponent of the first significant digit of the mantissa.
  int64_t magnitude = 0;
  size_t point = mantissa.find('.');
  size_t firstDigit = mantissa.find_first_of("123456789");
  if (firstDigit == std::string_view::npos) return 0.0f;
  if (point == std::string_view::npos) point = mantissa.size();
  magnitude = firstDigit < point ? static_cast<int64_t>(point - firstDigit - 1)
                                 : -static_cast<int64_t>(firstDigit - point);
  if (exponentAt != std::string_view::npos) {
    // Saturates long before overflow; only the sign of the sum matters.
    std::string_view digits = number.substr(exponentAt + 1);
    bool negative = !digits.empty() && digits[0] == '-';
    if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) digits.remove_prefix(1);
    int64_t exponent = 0;
    for (char c : digits) exponent = std::min<int64_t>(exponent * 10 + (c - '0'), 1000000);
    magnitude += negative ? -exponent : exponent;
  }
  return magnitude > 0 ? std::numeric_limits<float>::infinity() : 0.0f;
}

}  // namespace

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
    value = outOfRangeValue(std::string_view(rest.data(), static_cast<size_t>(end - rest.data())));
  } else if (error != std::errc() || end == rest.data()) {
    return 0.0f;
  }
  return negative ? -value : value;
}
