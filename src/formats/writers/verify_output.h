#pragma once

#include <string>

#include "formats/bitmap.h"
#include "formats/output_formats.h"
#include "formats/writers/encode_image.h"

// How one output file is compared with the image it was encoded from: its
// format row's check (OutputCheck) applied to its save flags and image.
struct VerifyRule {
  VerifyMeasure measure = VerifyMeasure::kExact;
  bool colourOnly = false;
  bool invisibleColourFree = false;
  double minimumPsnr = kLossyMinimumPsnr;  // for kPsnr
};

// The rule for a file of target's format and save flags made from image.
VerifyRule verifyRuleFor(const SaveTarget& target, FIBITMAP* image);

// Decodes bytes with the checking reader of the target's format
// (decodeForCheck) and compares the result with image, the bitmap the bytes
// were encoded from, by the format's rule. True when they match; otherwise
// *reason says what differs ("the file does not decode", "red of pixel 3,7
// reads back as ...", "PSNR 9.4 dB, below 15 dB"). The library messages of
// the reading are dropped (the reason says all), so the caller takes its own
// messages first.
bool verifyEncodedImage(FIBITMAP* image, const SaveTarget& target, const std::string& bytes,
                        std::string* reason);
