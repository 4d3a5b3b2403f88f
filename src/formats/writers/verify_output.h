#pragma once

#include <string>

#include "formats/bitmap.h"
#include "formats/writers/encode_image.h"

// How an output's pixels must match the image that was encoded. "Exact"
// means exact for what the format can hold: the encoded image has already
// been brought to the output's depth (palettes quantised, 16-bit 555/565,
// 1 bit, grey), so its samples are what the file must give back.
enum class VerifyMeasure {
  kExact,      // every sample equal (floats bit for bit; NaN matches NaN)
  kHalfFloat,  // OpenEXR keeps floats as halves: within one half step of the value
  kRgbe,       // RGBE: negatives and NaN as 0, each component within one step of
               // the 8-bit mantissa the pixel's largest component sets
  kPsnr,       // lossy coding: the PSNR of the colour (and alpha) samples at least
               // the rule's minimumPsnr
};

// PSNR floors of lossy outputs, in dB over the 0..1 (integer) or 0..peak
// (float) samples. A lossy file is checked for being the picture at all, not
// for its quality, which the user chose: measured on the sample and benchmark
// textures, JPEG at quality 1 gives 15.9 dB at worst, WebP at quality 1
// 16.8, JNG 17.8, DXT1 19.7, while an inverted picture gives 3 to 6 and a
// flat one of the mean colour 10 to 15 on busy textures. FreeImage's JPEG
// 2000 writers code at a fixed 16:1 rate, which leaves small high-frequency
// textures at 12.6 dB, so they get 10 dB.
inline constexpr double kLossyMinimumPsnr = 15.0;
inline constexpr double kRateCodedMinimumPsnr = 10.0;

struct VerifyRule {
  VerifyMeasure measure = VerifyMeasure::kExact;
  bool colourOnly = false;  // alpha is not compared (DevIL's DDS is DXT1, 1-bit alpha at most)
  // Colour is not compared where either side is fully transparent: a lossless
  // WebP coder may change the invisible colour there, DXT1 makes it black.
  bool invisibleColourFree = false;
  double minimumPsnr = kLossyMinimumPsnr;  // for kPsnr
};

// The rule of an output format with its save flags, for image (the encoded one).
VerifyRule verifyRuleFor(const SaveTarget& target, FIBITMAP* image);

// Decodes bytes with the checking reader of the target's format
// (decodeForCheck) and compares the result with image, the bitmap the bytes
// were encoded from, by the format's rule. True when they match; otherwise
// *reason says what differs ("the file does not decode", "pixel 3,7 ...",
// "PSNR 21.4 dB, below 30 dB"). Library messages of the reading are dropped:
// the reason says all.
bool verifyEncodedImage(FIBITMAP* image, const SaveTarget& target, const std::string& bytes,
                        std::string* reason);
