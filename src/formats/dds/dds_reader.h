#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/bitmap.h"
#include "formats/dds/colour_space.h"
#include "formats/dds/dds_format.h"
#include "formats/dds/dds_surfaces.h"

// What the steps after loading need to know of a surface beyond its pixels.
struct DdsImageFacts {
  DdsEncoding encoding = DdsEncoding::Unsupported;
  bool signedChannels = false;  // red and green hold signed values (BC5 signed, SNORM layouts)
  bool normalMapFlag = false;   // the pixel format carries the normal-map flag
  SourceColourSpace colourSpace = SourceColourSpace::kSrgb;  // what the stored values mean
};

// The program's DDS reader: the header is checked in full, then one surface
// is decoded into a FreeImage bitmap. Any file it cannot read, or whose data
// for that surface is short, gives an empty bitmap; nothing is read past the
// end of the data. A face of kDdsNoFace on a cube map stands for its first
// face present.

// The first surface (top level, first face, array element or slice 0) of the
// whole file in bytes.
Bitmap readDdsImage(const uint8_t* bytes, size_t size);

// Surface id of the whole file in bytes.
Bitmap readDdsSurface(const uint8_t* bytes, size_t size, const DdsSurfaceId& id,
                      DdsImageFacts* facts = nullptr);

// Surface id of the file at path (UTF-8): reads the header, the palette when
// there is one, and that surface's data, nothing else.
Bitmap readDdsFileSurface(const std::string& path, const DdsSurfaceId& id,
                          DdsImageFacts* facts = nullptr);

// The first surface of the file at path.
Bitmap readDdsFile(const std::string& path);

// Pixel-format flag that marks a normal map (legacy header).
inline constexpr uint32_t kDdsPixelNormalMap = 0x80000000;
