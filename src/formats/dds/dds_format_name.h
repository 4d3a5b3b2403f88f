#pragma once

#include <string>
#include <string_view>

#include "formats/dds/dds_header.h"

// The name a DDS file's pixel format goes by. DX10 files: the DXGI name
// without "DXGI_FORMAT_" ("BC7_UNORM_SRGB"); numbers without a name give
// "DXGI_<number>". Legacy files: the FourCC as text ("DXT1", "ATI2"), the
// D3D format name a numeric FourCC stands for ("A16B16G16R16F"), or the name
// of the layout the channel masks describe ("A8R8G8B8", "R5G6B5", "L8",
// "A8L8", "P8"); a layout without a name gives "UNKNOWN".
std::string ddsFormatName(const DdsHeader& header);

// The DXGI name of a format number, or empty when it has none.
std::string_view dxgiFormatName(uint32_t dxgiFormat);

// True when a DXGI name stands for sRGB-encoded colour.
bool isSrgbFormatName(std::string_view name);
