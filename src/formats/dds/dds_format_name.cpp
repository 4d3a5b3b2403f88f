#include "formats/dds/dds_format_name.h"

#include <array>

namespace {

// DXGI format numbers 0..132 in order; the gap 116..129 has no formats.
constexpr std::array<std::string_view, 116> kDxgiNames = {
    "UNKNOWN", "R32G32B32A32_TYPELESS", "R32G32B32A32_FLOAT", "R32G32B32A32_UINT",
    "R32G32B32A32_SINT", "R32G32B32_TYPELESS", "R32G32B32_FLOAT", "R32G32B32_UINT",
    "R32G32B32_SINT", "R16G16B16A16_TYPELESS", "R16G16B16A16_FLOAT", "R16G16B16A16_UNORM",
    "R16G16B16A16_UINT", "R16G16B16A16_SNORM", "R16G16B16A16_SINT", "R32G32_TYPELESS",
    "R32G32_FLOAT", "R32G32_UINT", "R32G32_SINT", "R32G8X24_TYPELESS", "D32_FLOAT_S8X24_UINT",
    "R32_FLOAT_X8X24_TYPELESS", "X32_TYPELESS_G8X24_UINT", "R10G10B10A2_TYPELESS",
    "R10G10B10A2_UNORM", "R10G10B10A2_UINT", "R11G11B10_FLOAT", "R8G8B8A8_TYPELESS",
    "R8G8B8A8_UNORM", "R8G8B8A8_UNORM_SRGB", "R8G8B8A8_UINT", "R8G8B8A8_SNORM", "R8G8B8A8_SINT",
    "R16G16_TYPELESS", "R16G16_FLOAT", "R16G16_UNORM", "R16G16_UINT", "R16G16_SNORM",
    "R16G16_SINT", "R32_TYPELESS", "D32_FLOAT", "R32_FLOAT", "R32_UINT", "R32_SINT",
    "R24G8_TYPELESS", "D24_UNORM_S8_UINT", "R24_UNORM_X8_TYPELESS", "X24_TYPELESS_G8_UINT",
    "R8G8_TYPELESS", "R8G8_UNORM", "R8G8_UINT", "R8G8_SNORM", "R8G8_SINT", "R16_TYPELESS",
    "R16_FLOAT", "D16_UNORM", "R16_UNORM", "R16_UINT", "R16_SNORM", "R16_SINT", "R8_TYPELESS",
    "R8_UNORM", "R8_UINT", "R8_SNORM", "R8_SINT", "A8_UNORM", "R1_UNORM", "R9G9B9E5_SHAREDEXP",
    "R8G8_B8G8_UNORM", "G8R8_G8B8_UNORM", "BC1_TYPELESS", "BC1_UNORM", "BC1_UNORM_SRGB",
    "BC2_TYPELESS", "BC2_UNORM", "BC2_UNORM_SRGB", "BC3_TYPELESS", "BC3_UNORM", "BC3_UNORM_SRGB",
    "BC4_TYPELESS", "BC4_UNORM", "BC4_SNORM", "BC5_TYPELESS", "BC5_UNORM", "BC5_SNORM",
    "B5G6R5_UNORM", "B5G5R5A1_UNORM", "B8G8R8A8_UNORM", "B8G8R8X8_UNORM",
    "R10G10B10_XR_BIAS_A2_UNORM", "B8G8R8A8_TYPELESS", "B8G8R8A8_UNORM_SRGB",
    "B8G8R8X8_TYPELESS", "B8G8R8X8_UNORM_SRGB", "BC6H_TYPELESS", "BC6H_UF16", "BC6H_SF16",
    "BC7_TYPELESS", "BC7_UNORM", "BC7_UNORM_SRGB", "AYUV", "Y410", "Y416", "NV12", "P010", "P016",
    "420_OPAQUE", "YUY2", "Y210", "Y216", "NV11", "AI44", "IA44", "P8", "A8P8", "B4G4R4A4_UNORM"};

constexpr uint32_t kDxgiP208 = 130;
constexpr std::array<std::string_view, 3> kDxgiLateNames = {"P208", "V208", "V408"};

// D3D format numbers a legacy FourCC field may hold instead of characters.
struct NumberedFormat {
  uint32_t code;
  std::string_view name;
};
constexpr NumberedFormat kNumberedFormats[] = {
    {36, "A16B16G16R16"}, {60, "V8U8"},      {63, "Q8W8V8U8"},       {64, "V16U16"},
    {110, "Q16W16V16U16"}, {111, "R16F"},    {112, "G16R16F"},       {113, "A16B16G16R16F"},
    {114, "R32F"},        {115, "G32R32F"},  {116, "A32B32G32R32F"}, {117, "CxV8U8"}};

// Legacy layouts by bit count and channel masks.
struct MaskedFormat {
  uint32_t bits, red, green, blue, alpha;
  std::string_view name;
};
constexpr MaskedFormat kMaskedFormats[] = {
    {32, 0xff0000, 0xff00, 0xff, 0xff000000, "A8R8G8B8"},
    {32, 0xff0000, 0xff00, 0xff, 0, "X8R8G8B8"},
    {32, 0xff, 0xff00, 0xff0000, 0xff000000, "A8B8G8R8"},
    {32, 0xff, 0xff00, 0xff0000, 0, "X8B8G8R8"},
    {32, 0x3ff, 0xffc00, 0x3ff00000, 0xc0000000, "A2B10G10R10"},
    {32, 0x3ff00000, 0xffc00, 0x3ff, 0xc0000000, "A2R10G10B10"},
    {32, 0xffff, 0xffff0000, 0, 0, "G16R16"},
    {24, 0xff0000, 0xff00, 0xff, 0, "R8G8B8"},
    {16, 0xf800, 0x7e0, 0x1f, 0, "R5G6B5"},
    {16, 0x7c00, 0x3e0, 0x1f, 0x8000, "A1R5G5B5"},
    {16, 0x7c00, 0x3e0, 0x1f, 0, "X1R5G5B5"},
    {16, 0xf00, 0xf0, 0xf, 0xf000, "A4R4G4B4"},
    {16, 0xf00, 0xf0, 0xf, 0, "X4R4G4B4"},
    {16, 0xe0, 0x1c, 0x3, 0xff00, "A8R3G3B2"},
    {8, 0xe0, 0x1c, 0x3, 0, "R3G3B2"},
};

std::string fourCcText(uint32_t fourCc) {
  std::string text;
  for (int shift = 0; shift < 32; shift += 8) {
    text.push_back(static_cast<char>((fourCc >> shift) & 0xff));
  }
  return text;
}

bool printableFourCc(uint32_t fourCc) {
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t c = (fourCc >> shift) & 0xff;
    if (c < 0x20 || c > 0x7e) return false;
  }
  return true;
}

std::string legacyFourCcName(uint32_t fourCc) {
  for (const NumberedFormat& row : kNumberedFormats) {
    if (row.code == fourCc) return std::string(row.name);
  }
  if (printableFourCc(fourCc)) return fourCcText(fourCc);
  return "UNKNOWN";
}

std::string luminanceName(const DdsPixelFormat& pf) {
  const bool alpha = (pf.flags & kDdsPixelAlphaPixels) != 0 && pf.alphaMask != 0;
  if (pf.rgbBitCount == 16 && !alpha) return "L16";
  if (pf.rgbBitCount == 16) return "A8L8";
  if (pf.rgbBitCount == 8 && alpha) return "A4L4";
  if (pf.rgbBitCount == 8) return "L8";
  return "UNKNOWN";
}

std::string maskedName(const DdsPixelFormat& pf) {
  const uint32_t alpha = (pf.flags & (kDdsPixelAlphaPixels | kDdsPixelAlpha)) != 0 ? pf.alphaMask : 0;
  for (const MaskedFormat& row : kMaskedFormats) {
    if (row.bits == pf.rgbBitCount && row.red == pf.redMask && row.green == pf.greenMask &&
        row.blue == pf.blueMask && row.alpha == alpha) {
      return std::string(row.name);
    }
  }
  return "UNKNOWN";
}

}  // namespace

std::string_view dxgiFormatName(uint32_t dxgiFormat) {
  if (dxgiFormat < kDxgiNames.size()) return kDxgiNames[dxgiFormat];
  if (dxgiFormat >= kDxgiP208 && dxgiFormat - kDxgiP208 < kDxgiLateNames.size()) {
    return kDxgiLateNames[dxgiFormat - kDxgiP208];
  }
  return {};
}

bool isSrgbFormatName(std::string_view name) { return name.find("_SRGB") != std::string_view::npos; }

std::string ddsFormatName(const DdsHeader& header) {
  if (header.hasDx10) {
    const std::string_view name = dxgiFormatName(header.dx10.dxgiFormat);
    return name.empty() ? "DXGI_" + std::to_string(header.dx10.dxgiFormat) : std::string(name);
  }
  const DdsPixelFormat& pf = header.pixelFormat;
  if ((pf.flags & kDdsPixelFourCc) != 0) return legacyFourCcName(pf.fourCc);
  if ((pf.flags & kDdsPixelPaletteIndexed8) != 0) return "P8";
  if ((pf.flags & kDdsPixelLuminance) != 0) return luminanceName(pf);
  if ((pf.flags & kDdsPixelRgb) != 0) return maskedName(pf);
  if ((pf.flags & kDdsPixelAlpha) != 0 && pf.rgbBitCount == 8) return "A8";
  return "UNKNOWN";
}
