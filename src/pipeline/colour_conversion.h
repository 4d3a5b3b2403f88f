#pragma once

#include <cstdint>

#include "formats/bitmap.h"
#include "formats/dds/colour_space.h"
#include "pipeline/tone_map.h"

// --colorspace and --source-colorspace, by their keyword codes.
enum class ColourMode : uint8_t { kStored = 0, kAuto = 1 };
enum class SourceSpaceChoice : uint8_t { kAuto = 0, kSrgb = 1, kLinear = 2 };

// The colour options of a run.
struct ColourStep {
  ColourMode mode = ColourMode::kStored;          // stored: values go out as they are
  SourceSpaceChoice source = SourceSpaceChoice::kAuto;  // overrides the format for colour sources
  ToneMap toneMap = ToneMap::kClamp;              // float sources to integer outputs
  float exposure = 0.0f;                          // EV: colour x 2^EV before the tone map
};

// What happens to one image's colour, decided once it is loaded.
struct ColourWork {
  bool toLinear = false;    // to linear light before resizing (sRGB decode when srgbDecode)
  bool srgbDecode = false;
  bool inWords = false;     // ... as 16-bit channels: 8-bit sRGB resampled for integer outputs
  bool toInteger = false;   // float to integer channels once resizing is done
  bool toneMapped = false;  // ... with exposure and tone map
  bool srgbEncode = false;  // ... and the sRGB curve
  bool wide = false;        // ... to 16-bit channels (outputs of 48 or 64 bits)
  bool keepsAlpha = true;   // ... with the alpha channel the image has
};

// The facts of one image the plan needs.
struct ColourFacts {
  SourceColourSpace space = SourceColourSpace::kSrgb;  // as the reader says, kData for normal maps
  bool floatSource = false;  // the loaded image holds float channels
  bool eightBitSource = false;  // ... or 8-bit ones (grey, palette, 24 or 32 bits)
  int32_t outputDepth = 0;   // the depth the image is saved with
  bool floatOutput = false;  // ... and that depth holds float channels
  bool resamples = false;    // a resize changes the pixel grid
};

// With auto, sRGB sources go to float outputs decoded, and through linear
// light when resampled; linear sources go to integer outputs tone-mapped and
// encoded; data stays as stored. With stored (and for data), only a tone map
// or exposure other than the defaults changes anything: float sources then
// reach integer outputs mapped but not encoded.
ColourWork planColourWork(const ColourStep& step, const ColourFacts& facts);

// Whether the colour steps read float values beyond 0..1: with auto, or
// with a tone map or exposure other than the defaults.
bool readsFloatRange(const ColourStep& step);

// Whether steps that blend pixels of a source in this space do so in linear
// light (auto, and the source read as sRGB).
bool blendsInLinearLight(const ColourStep& step, SourceColourSpace space);

// The image in linear light as the work says: float (FIT_RGBF or FIT_RGBAF,
// alpha as a 0..1 value), or with work.inWords 16-bit channels (an 8-bit
// image only). With work.srgbDecode the colour channels go through the sRGB
// curve (8-bit values by table). Empty when the image has no colour channels
// it can read.
Bitmap toLinearLight(Bitmap image, const ColourWork& work);

// A float image (or, with work.inWords, a 16-bit one) as integer channels:
// colour exposed and tone-mapped when the work says so, then sRGB-encoded or
// clamped to 0..1 and scaled, alpha only clamped (or dropped without
// work.keepsAlpha). 8 bits (RGB or RGBA), or 16 with work.wide. Other images
// come back as they are.
Bitmap toOutputValues(Bitmap image, const ColourWork& work, const ColourStep& step);
