#include "formats/dds/dds_header.h"

#include <algorithm>

#include "platform/files.h"
#include "platform/readable_file.h"

namespace {

uint32_t readWord(const uint8_t* bytes, size_t offset) {
  return static_cast<uint32_t>(bytes[offset]) | static_cast<uint32_t>(bytes[offset + 1]) << 8 |
         static_cast<uint32_t>(bytes[offset + 2]) << 16 |
         static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

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
    case DdsCheck::BadMipMapCount: return "mipmap count too large";
    case DdsCheck::BadExtension: return "DX10 extension out of range";
    case DdsCheck::UnsupportedLayout: return "unsupported layout";
    case DdsCheck::TooLarge: return "image too large";
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
  // A palette file keeps its 256 colours between the header and the indices.
  if ((format.flags & (kDdsPixelFourCc | kDdsPixelPaletteIndexed8)) == kDdsPixelPaletteIndexed8) {
    header->dataOffset += kDdsPaletteBytes;
  }
  if ((format.flags & kDdsPixelFourCc) == 0 || format.fourCc != kFourCcDx10) return true;

  header->hasDx10 = true;
  header->dataOffset = kDdsHeaderBytes + kDdsDx10HeaderBytes;
  if (size < header->dataOffset) return false;
  header->dx10.dxgiFormat = readWord(bytes, 128);
  header->dx10.resourceDimension = readWord(bytes, 132);
  header->dx10.miscFlag = readWord(bytes, 136);
  // Some writers leave the array size 0 for a single texture.
  header->dx10.arraySize = std::max(readWord(bytes, 140), 1u);
  header->dx10.miscFlags2 = readWord(bytes, 144);
  return true;
}

DdsLayout describeDdsLayout(const DdsHeader& header) {
  DdsLayout layout;
  const DdsPixelFormat& pf = header.pixelFormat;
  if (header.hasDx10) {
    layout.dxgiFormat = header.dx10.dxgiFormat;
    layout.format = identifyDxgiFormat(header.dx10.dxgiFormat);
    if ((header.dx10.miscFlags2 & kDdsAlphaModeMask) == kDdsAlphaModePremultiplied) {
      layout.format.premultiplied = true;
    }
  } else {
    LegacyPixelFormat legacy;
    legacy.flags = pf.flags;
    legacy.fourCc = pf.fourCc;
    legacy.bitCount = pf.rgbBitCount;
    legacy.redMask = pf.redMask;
    legacy.greenMask = pf.greenMask;
    legacy.blueMask = pf.blueMask;
    legacy.alphaMask = pf.alphaMask;
    layout.format = identifyLegacyFormat(legacy);
    if (pf.flags & kDdsPixelFourCc) layout.fourCc = pf.fourCc;
  }
  switch (layout.format.encoding) {
    case DdsEncoding::Unsupported:
      break;
    case DdsEncoding::Uncompressed:
      layout.kind = DdsLayoutKind::Packed;
      layout.bitsPerPixel = layout.format.layout.bytesPerPixel * 8;
      break;
    default:
      layout.kind = DdsLayoutKind::Block;
      layout.blockBytes = ddsBlockBytes(layout.format.encoding);
      break;
  }
  return layout;
}

uint64_t ddsRowPitch(const DdsHeader& header, const DdsLayout& layout) {
  if (layout.kind != DdsLayoutKind::Packed) return 0;
  return (static_cast<uint64_t>(header.width) * layout.bitsPerPixel + 7) / 8;
}

uint64_t ddsTopLevelDataSize(const DdsHeader& header, const DdsLayout& layout) {
  switch (layout.kind) {
    case DdsLayoutKind::Block:
      return blockCount(header.width) * blockCount(header.height) * layout.blockBytes;
    case DdsLayoutKind::Packed:
      return ddsRowPitch(header, layout) * header.height;
    case DdsLayoutKind::Unknown:
      break;
  }
  return 0;
}

bool isDecodableDdsLayout(const DdsHeader&, const DdsLayout& layout) {
  return layout.kind != DdsLayoutKind::Unknown;
}

uint32_t fullMipChainLength(uint32_t largest) {
  uint32_t levels = 1;
  while (largest > 1) {
    largest >>= 1;
    ++levels;
  }
  return levels;
}

namespace {

// Levels of a full mipmap chain for the largest of the three dimensions.
uint32_t fullChainLength(const DdsHeader& header) {
  uint32_t largest = std::max(header.width, header.height);
  const bool volume = (header.caps2 & kDdsCaps2Volume) ||
                      (header.hasDx10 && header.dx10.resourceDimension == kDdsDimensionTexture3d);
  if (volume) largest = std::max(largest, header.depth);
  return fullMipChainLength(largest);
}

bool isValidExtension(const DdsHeader& header) {
  const DdsDx10Header& x = header.dx10;
  if ((x.miscFlags2 & kDdsAlphaModeMask) > kDdsAlphaModeCustom) return false;
  switch (x.resourceDimension) {
    case kDdsDimensionTexture1d:
      return header.height == 1 && !(x.miscFlag & kDdsMiscTextureCube);
    case kDdsDimensionTexture2d:
      return true;
    case kDdsDimensionTexture3d:
      return x.arraySize == 1 && !(x.miscFlag & kDdsMiscTextureCube);
    default:
      return false;
  }
}

}  // namespace

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
  if (parsed.hasDx10 && !isValidExtension(parsed)) return DdsCheck::BadExtension;
  const DdsLayout layout = describeDdsLayout(parsed);
  if (!isDecodableDdsLayout(parsed, layout)) return DdsCheck::UnsupportedLayout;
  // The count only matters when the flag says it is there; many writers
  // leave it 0 or 1 for a single level.
  if ((parsed.flags & kDdsFlagMipMapCount) && parsed.mipMapCount > fullChainLength(parsed)) {
    return DdsCheck::BadMipMapCount;
  }
  if (ddsDecodedBytes(layout.format, parsed.width, parsed.height) > kMaxDecodedBytes) {
    return DdsCheck::TooLarge;
  }
  if (fileSize < parsed.dataOffset + ddsTopLevelDataSize(parsed, layout)) {
    return DdsCheck::Truncated;
  }
  return DdsCheck::Ok;
}

DdsCheck checkDdsFile(const std::string& path, DdsHeader* header) {
  const ReadableFile file(path);  // one open for the header and the size
  std::string prefix;
  if (!file.isOpen() || !file.readRange(0, kDdsHeaderBytes + kDdsDx10HeaderBytes, &prefix)) {
    if (header) *header = DdsHeader{};
    return DdsCheck::TooShort;
  }
  const auto* bytes = reinterpret_cast<const uint8_t*>(prefix.data());
  return checkDdsHeader(bytes, prefix.size(), file.size(), header);
}
