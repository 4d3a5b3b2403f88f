#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// --tonemap, by its keyword code: how float colour becomes 0..1 for integer outputs.
enum class ToneMap : uint8_t { kClamp = 0, kReinhard = 1, kAces = 2 };

// One colour channel c (already multiplied by 2^EV) mapped to 0..1:
//   clamp     min(max(c, 0), 1)
//   reinhard  c / (1 + c) for c >= 0, else 0
//   aces      c(2.51c + 0.03) / (c(2.43c + 0.59) + 0.14), clamped to 0..1 (c < 0 gives 0)
// NaN gives 0, +inf 1.
float toneMapChannel(float c, ToneMap map);

// --exposure: a decimal number of -20..20 ("1.5", "-2", "+0.25"); nothing
// for any other text (empty, "1e1", "abc", "21").
std::optional<float> parseExposure(std::string_view text);
