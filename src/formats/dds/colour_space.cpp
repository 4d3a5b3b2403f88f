#include "formats/dds/colour_space.h"

#include <algorithm>

namespace {

bool isFloat(ChannelEncoding encoding) {
  return encoding == ChannelEncoding::Float || encoding == ChannelEncoding::UnsignedFloat;
}

// One or two channels in red (and green) and nothing else: R8, R8G8 and the
// like hold masks, heights or vector parts, not colour. Luminance layouts
// show red in every channel and are colour.
bool redGreenOnly(const PixelLayout& layout) {
  return !layout.grey && layout.red.bits > 0 && layout.blue.bits == 0 && layout.alpha.bits == 0;
}

SourceColourSpace uncompressedSpace(const DdsFormat& format) {
  const PixelLayout& layout = format.layout;
  if (format.paletted) return SourceColourSpace::kSrgb;
  if (layout.sharedExponent || isFloat(layout.red.encoding)) return SourceColourSpace::kLinear;
  const int widest =
      std::max({layout.red.bits, layout.green.bits, layout.blue.bits, layout.alpha.bits});
  const bool eightBit = widest <= 8;
  if (format.dataChannels || (eightBit && redGreenOnly(layout))) return SourceColourSpace::kData;
  if (layout.red.encoding == ChannelEncoding::Snorm) {
    return eightBit ? SourceColourSpace::kData : SourceColourSpace::kLinear;
  }
  // 10-bit colour (R10G10B10A2) is decoded to 8 bits and shown as stored.
  return widest <= 10 ? SourceColourSpace::kSrgb : SourceColourSpace::kLinear;
}

}  // namespace

SourceColourSpace ddsColourSpace(const DdsFormat& format) {
  switch (format.encoding) {
    case DdsEncoding::Bc4:
    case DdsEncoding::Bc4Signed:
    case DdsEncoding::Bc5:
    case DdsEncoding::Bc5Signed:
      return SourceColourSpace::kData;
    case DdsEncoding::Bc6h:
    case DdsEncoding::Bc6hSigned:
      return SourceColourSpace::kLinear;
    case DdsEncoding::Uncompressed:
      return uncompressedSpace(format);
    default:
      return SourceColourSpace::kSrgb;
  }
}
