#pragma once

// The colour chunks a PNG file carries besides its pixels.
enum class PngColorTag {
  kNone,    // no colour chunk (the pixels' meaning is left to the reader)
  kSrgb,    // sRGB chunk (perceptual intent) and gAMA 45455
  kLinear,  // gAMA 100000 only: linear values
};
