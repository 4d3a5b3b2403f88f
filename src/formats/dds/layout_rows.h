#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "formats/dds/layouts.h"

// Decodes the rows of one uncompressed layout. Layouts whose channels are
// whole bytes of one width (8-bit or 16-bit normalized, half or single
// floats) take a row path: a plain copy when the stored bytes already are
// the bitmap's, else one load and store per output channel, with no bit
// fields to pull apart. In a large image (imagePixels), a layout of one or
// two bytes a pixel that decodes to bytes (565, 4444, 1555, 332 and the like)
// looks each pixel up in a table of every stored value, which the mask
// decoder fills once. Every other layout goes through decodeLayoutRow, which
// also stays the reference the row paths must match byte for byte.
class LayoutRowDecoder {
 public:
  explicit LayoutRowDecoder(const PixelLayout& layout, uint64_t imagePixels = 0);

  // Same contract as decodeLayoutRow.
  void decode(const uint8_t* source, uint32_t width, uint8_t* scanline) const;

  // True when the layout takes a row path rather than the mask decoder.
  bool byRows() const { return kind_ != Kind::Generic; }

  // True when a stored row already is the scanline, byte for byte.
  bool copiesRows() const { return kind_ == Kind::Copy; }

 private:
  enum class Kind : uint8_t {
    Generic, Copy, Unorm8, Snorm8, Unorm16, Snorm16, Half, Float32, Lookup
  };

  void chooseRowPath();
  void chooseLookup();

  PixelLayout layout_;
  Kind kind_ = Kind::Generic;
  uint32_t outputChannels_ = 0;
  // Byte offset within the stored pixel of each output channel, in the
  // bitmap's memory order; -1 takes fill_ instead (absent channels).
  int8_t from_[4] = {-1, -1, -1, -1};
  bool fillIsTop_[4] = {};  // an absent alpha is opaque, absent colour 0
  // The output bytes of every stored value, for Kind::Lookup.
  std::shared_ptr<const std::vector<uint32_t>> lookup_;
};
