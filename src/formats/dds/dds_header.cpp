#include "formats/dds/dds_header.h"

#include "platform/files.h"

namespace {

uint32_t readWord(const uint8_t* bytes, size_t offset) {
  return static_cast<uint32_t>(bytes[offset]) | static_cast<uint32_t>(bytes[offset + 1]) << 8 |
         static_cast<uint32_t>(bytes[offset + 2]) << 16 |
         static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

// DXGI formats the DX10 extension may name, with their storage.
struct DxgiLayoutRow {
  uint32_t dxgiFormat;
  DdsLayoutKind kind;
  uint32_t size;  // block bytes or bits per pixel
};
constexpr DxgiLayoutRow kDxgiLayouts[] = {
    {2, DdsLayoutKind::Packed, 128},  // R32G32B32A32_FLOAT
    {10, DdsLayoutKind::Packed, 64},  // R16G16B16A16_FLOAT
    {11, DdsLayoutKind::Packed, 64},  // R16G16B16A16_UNORM
    {24, DdsLayoutKind::Packed, 32},  // R10G10B10A2_UNORM
    {28, DdsLayoutKind::Packed, 32},  // R8G8B8A8_UNORM
    {29, DdsLayoutKind::Packed, 32},  // R8G8B8A8_UNORM_SRGB
    {61, DdsLayoutKind::Packed, 8},   // R8_UNORM
    {65, DdsLayoutKind::Packed, 8},   // A8_UNORM
    {71, DdsLayoutKind::Block, 8},    // BC1_UNORM
    {72, DdsLayoutKind::Block, 8},    // BC1_UNORM_SRGB
    {74, DdsLayoutKind::Block, 16},   // BC2_UNORM
    {75, DdsLayoutKind::Block, 16},   // BC2_UNORM_SRGB
    {77, DdsLayoutKind::Block, 16},   // BC3_UNORM
    {78, DdsLayoutKind::Block, 16},   // BC3_UNORM_SRGB
    {80, DdsLayoutKind::Block, 8},    // BC4_UNORM
    {81, DdsLayoutKind::Block, 8},    // BC4_SNORM
    {83, DdsLayoutKind::Block, 16},   // BC5_UNORM
    {84, DdsLayoutKind::Block, 16},   // BC5_SNORM
    {85, DdsLayoutKind::Packed, 16},  // B5G6R5_UNORM
    {86, DdsLayoutKind::Packed, 16},  // B5G5R5A1_UNORM
    {87, DdsLayoutKind::Packed, 32},  // B8G8R8A8_UNORM
    {88, DdsLayoutKind::Packed, 32},  // B8G8R8X8_UNORM
    {91, DdsLayoutKind::Packed, 32},  // B8G8R8A8_UNORM_SRGB
    {93, DdsLayoutKind::Packed, 32},  // B8G8R8X8_UNORM_SRGB
    {95, DdsLayoutKind::Block, 16},   // BC6H_UF16
    {96, DdsLayoutKind::Block, 16},   // BC6H_SF16
    {98, DdsLayoutKind::Block, 16},   // BC7_UNORM
    {99, DdsLayoutKind::Block, 16},   // BC7_UNORM_SRGB
    {115, DdsLayoutKind::Packed, 16}, // B4G4R4A4_UNORM
};

// Block layouts named directly by a FourCC in the pixel format.
struct FourCcLayoutRow {
  uint32_t fourCc;
  uint32_t blockBytes;
};
constexpr FourCcLayoutRow kFourCcLayouts[] = {
    {kFourCcDxt1, 8},  {kFourCcDxt2, 16}, {kFourCcDxt3, 16}, {kFourCcDxt4, 16},
    {kFourCcDxt5, 16}, {kFourCcAti1, 8},  {kFourCcAti2, 16},
};

uint64_t blockCount(uint32_t pixels) { return (static_cast<uint64_t>(pixels) + 3) / 4; }

}  // namespace

std::string_view ddsCheckText(DdsCheck check) {
  switch (check) {
    case DdsCheck::Ok: return "ok";
    case DdsCheck::TooShort: return "too short for a header";
    case DdsCheck::BadMagic: return "no DDS magic";
    case DdsCheck::BadHeaderSize: return "header size is not 124";
    case DdsCheck::BadPixelFormatSize: return "pixel format size is not 32";
    case DdsCheck::BadDimensions: return "width or height out of range";
    case DdsCheck::UnsupportedLayout: return "unsupported layout";
    case DdsCheck::Truncated: return "truncated";
  }
  return "unknown";
}

bool parseDdsHeader(const uint8_t* bytes, size_t size, DdsHeader* header) {
  *header = DdsHeader{};
  if (size < kDdsHeaderBytes) return false;
  header->magic = readWord(bytes, 0);
  header->size = readWord(bytes, 4);
  header->flags = readWord(bytes, 8);
  header->height = readWord(bytes, 12);
  header->width = readWord(bytes, 16);
  header->pitchOrLinearSize = readWord(bytes, 20);
  header->depth = readWord(bytes, 24);
  header->mipMapCount = readWord(bytes, 28);
  DdsPixelFormat& format = header->pixelFormat;
  format.size = readWord(bytes, 76);
  format.flags = readWord(bytes, 80);
  format.fourCc = readWord(bytes, 84);
  format.rgbBitCount = readWord(bytes, 88);
  format.redMask = readWord(bytes, 92);
  format.greenMask = readWord(bytes, 96);
  format.blueMask = readWord(bytes, 100);
  format.alphaMask = readWord(bytes, 104);
  header->caps = readWord(bytes, 108);
  header->caps2 = readWord(bytes, 112);
  header->caps3 = readWord(bytes, 116);
  header->caps4 = readWord(bytes, 120);
  header->dataOffset = kDdsHeaderBytes;
  if ((format.flags & kDdsPixelFourCc) == 0 || format.fourCc != kFourCcDx10) return true;

  header->hasDx10 = true;
  header->dataOffset = kDdsHeaderBytes + kDdsDx10HeaderBytes;
  if (size < header->dataOffset) return false;
  header->dx10.dxgiFormat = readWord(bytes, 128);
  header->dx10.resourceDimension = readWord(bytes, 132);
  header->dx10.miscFlag = readWord(bytes, 136);
  header->dx10.arraySize = readWord(bytes, 140);
  header->dx10.miscFlags2 = readWord(bytes, 144);
  return true;
}

DdsLayout describeDdsLayout(const DdsHeader& header) {
  DdsLayout layout;
  const DdsPixelFormat& format = header.pixelFormat;
  if (header.hasDx10) {
    layout.dxgiFormat = header.dx10.dxgiFormat;
    for (const DxgiLayoutRow& row : kDxgiLayouts) {
      if (row.dxgiFormat != header.dx10.dxgiFormat) continue;
      layout.kind = row.kind;
      (row.kind == DdsLayoutKind::Block ? layout.blockBytes : layout.bitsPerPixel) = row.size;
    }
    return layout;
  }
  if (format.flags & kDdsPixelFourCc) {
    for (const FourCcLayoutRow& row : kFourCcLayouts) {
      if (row.fourCc != format.fourCc) continue;
      layout.kind = DdsLayoutKind::Block;
      layout.blockBytes = row.blockBytes;
      layout.fourCc = row.fourCc;
    }
    return layout;
  }
  const uint32_t packedFlags = kDdsPixelRgb | kDdsPixelLuminance | kDdsPixelAlpha;
  const uint32_t bits = format.rgbBitCount;
  if ((format.flags & packedFlags) != 0 && bits >= 8 && bits <= 128 && bits % 8 == 0) {
    layout.kind = DdsLayoutKind::Packed;
    layout.bitsPerPixel = bits;
  }
  return layout;
}

uint64_t ddsTopLevelDataSize(const DdsHeader& header, const DdsLayout& layout) {
  switch (layout.kind) {
    case DdsLayoutKind::Block:
      return blockCount(header.width) * blockCount(header.height) * layout.blockBytes;
    case DdsLayoutKind::Packed: {
      const uint64_t rowBytes = (static_cast<uint64_t>(header.width) * layout.bitsPerPixel + 7) / 8;
      uint64_t pitch = rowBytes;
      if ((header.flags & kDdsFlagPitch) && header.pitchOrLinearSize >= rowBytes) {
        pitch = header.pitchOrLinearSize;
      }
      if (header.height == 0) return 0;
      return pitch * (header.height - 1) + rowBytes;
    }
    case DdsLayoutKind::Unknown:
      break;
  }
  return 0;
}

bool isDecodableDdsLayout(const DdsHeader& header, const DdsLayout& layout) {
  const DdsPixelFormat& format = header.pixelFormat;
  if (layout.kind == DdsLayoutKind::Block) {
    return layout.fourCc == kFourCcDxt1 || layout.fourCc == kFourCcDxt3 ||
           layout.fourCc == kFourCcDxt5;
  }
  if (layout.kind != DdsLayoutKind::Packed || header.hasDx10) return false;
  if ((format.flags & kDdsPixelRgb) == 0) return false;
  const uint32_t bits = layout.bitsPerPixel;
  if (bits != 16 && bits != 24 && bits != 32) return false;
  // A pitch that is given must hold a whole row, or rows would overlap.
  const uint64_t rowBytes = (static_cast<uint64_t>(header.width) * bits + 7) / 8;
  return (header.flags & kDdsFlagPitch) == 0 || header.pitchOrLinearSize == 0 ||
         header.pitchOrLinearSize >= rowBytes;
}

DdsCheck checkDdsHeader(const uint8_t* bytes, size_t size, uint64_t fileSize, DdsHeader* header) {
  DdsHeader local;
  DdsHeader& parsed = header ? *header : local;
  if (fileSize < size) size = static_cast<size_t>(fileSize);
  const bool complete = parseDdsHeader(bytes, size, &parsed);
  if (size < 4) return DdsCheck::TooShort;
  if (readWord(bytes, 0) != kDdsMagic) return DdsCheck::BadMagic;
  if (size < kDdsHeaderBytes) return DdsCheck::TooShort;
  if (parsed.size != kDdsSurfaceDescriptionSize) return DdsCheck::BadHeaderSize;
  if (parsed.pixelFormat.size != kDdsPixelFormatSize) return DdsCheck::BadPixelFormatSize;
  if (!complete) return DdsCheck::TooShort;
  if (parsed.width < 1 || parsed.width > kDdsMaxDimension || parsed.height < 1 ||
      parsed.height > kDdsMaxDimension) {
    return DdsCheck::BadDimensions;
  }
  const DdsLayout layout = describeDdsLayout(parsed);
  if (!isDecodableDdsLayout(parsed, layout)) return DdsCheck::UnsupportedLayout;
  if (fileSize < parsed.dataOffset + ddsTopLevelDataSize(parsed, layout)) {
    return DdsCheck::Truncated;
  }
  return DdsCheck::Ok;
}

DdsCheck checkDdsFile(const std::string& path, DdsHeader* header) {
  std::string prefix;
  if (!readFilePrefix(path, kDdsHeaderBytes + kDdsDx10HeaderBytes, &prefix)) {
    if (header) *header = DdsHeader{};
    return DdsCheck::TooShort;
  }
  const auto* bytes = reinterpret_cast<const uint8_t*>(prefix.data());
  return checkDdsHeader(bytes, prefix.size(), static_cast<uint64_t>(fileSize(path)), header);
}
