#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "formats/bitmap.h"

// Where one output channel takes its value from.
enum class SwizzleSource : uint8_t { kRed, kGreen, kBlue, kAlpha, kZero, kOne };

// --swizzle: the sources of the output's red, green, blue and alpha.
struct SwizzleStep {
  bool enabled = false;  // false: every channel stays where it is
  std::array<SwizzleSource, 4> sources{SwizzleSource::kRed, SwizzleSource::kGreen,
                                       SwizzleSource::kBlue, SwizzleSource::kAlpha};
};

// Four letters of r, g, b, a, 0, 1 in any case ("bgra", "RRR1", "gA01");
// nothing for any other text. "rgba" gives a step that is not enabled.
std::optional<SwizzleStep> parseSwizzle(std::string_view text);

// Moves the channels as the step says, right after loading. An image without
// alpha reads "a" as opaque, and gains an alpha channel when its alpha comes
// from anything but "a" or "1". Greyscale and palette images become 24- or
// 32-bit first. 0 and 1 are the ends of each kind's range (1.0 for floats).
Bitmap applySwizzle(Bitmap image, const SwizzleStep& step);
