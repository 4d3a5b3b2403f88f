#pragma once

#include <cstdint>

#include "formats/dds/layouts.h"

// Decodes the rows of one uncompressed layout. Layouts whose channels are
// whole bytes of one width (8-bit or 16-bit normalized, half or single
// floats) take a row path: a plain copy when the stored bytes already are
// the bitmap's, else one load and store per output channel, with no bit
// fields to pull apart. Every other layout goes through decodeLayoutRow,
// which also stays the reference the row paths must match byte for byte.
class LayoutRowDecoder {
 public:
  explicit LayoutRowDecoder(const PixelLayout& layout);

  // Same contract as decodeLayoutRow.
  void decode(const uint8_t* source, uint32_t width, uint8_t* scanline) const;

  // True when the layout takes a row path rather than the mask decoder.
  bool byRows() const { return kind_ != Kind::Generic; }

  // True when a stored row already is the scanline, byte for byte.
  bool copiesRows() const { return kind_ == Kind::Copy; }

 private:
  enum class Kind : uint8_t { Generic, Copy, Unorm8, Snorm8, Unorm16, Snorm16, Half, Float32 };

  PixelLayout layout_;
  Kind kind_ = Kind::Generic;
  uint32_t outputChannels_ = 0;
  // Byte offset within the stored pixel of each output channel, in the
  // bitmap's memory order; -1 takes fill_ instead (absent channels).
  int8_t from_[4] = {-1, -1, -1, -1};
  bool fillIsTop_[4] = {};  // an absent alpha is opaque, absent colour 0
};
