#include "pipeline/tone_map.h"

#include <algorithm>
#include <charconv>
#include <cmath>

float toneMapChannel(float c, ToneMap map) {
  if (!(c > 0.0f)) return 0.0f;
  switch (map) {
    case ToneMap::kReinhard:
      return std::isinf(c) ? 1.0f : c / (1.0f + c);
    case ToneMap::kAces: {
      if (std::isinf(c)) return 1.0f;
      const float mapped = c * (2.51f * c + 0.03f) / (c * (2.43f * c + 0.59f) + 0.14f);
      return std::clamp(mapped, 0.0f, 1.0f);
    }
    case ToneMap::kClamp:
    default:
      return std::min(c, 1.0f);
  }
}

std::optional<float> parseExposure(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // Digits with at most one point and at least one digit; no exponent, no inf or nan.
  if (text.empty() || text.find_first_not_of("0123456789.") != std::string_view::npos ||
      std::count(text.begin(), text.end(), '.') > 1 || text == ".") {
    return std::nullopt;
  }
  double value = 0.0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (negative) value = -value;
  if (value < -20.0 || value > 20.0) return std::nullopt;
  return static_cast<float>(value);
}
