#include "formats/dds/dds_refusal.h"

#include <cstdio>

namespace {

std::string hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%X", value);
  return text;
}

// A FourCC as its four characters when they are printable ("'XYZW'"),
// otherwise as the number Direct3D format codes use.
std::string fourCcText(uint32_t fourCc) {
  std::string text;
  for (int i = 0; i < 4; ++i) {
    const char c = static_cast<char>((fourCc >> (8 * i)) & 0xFF);
    if (c < 0x20 || c > 0x7E) return "code " + std::to_string(fourCc);
    text += c;
  }
  return "'" + text + "'";
}

std::string pixelFormatText(const DdsHeader& header) {
  if (header.hasDx10) return "DXGI format " + std::to_string(header.dx10.dxgiFormat);
  const DdsPixelFormat& pf = header.pixelFormat;
  if (pf.flags & kDdsPixelFourCc) return "FourCC " + fourCcText(pf.fourCc);
  return "flags " + hex(pf.flags) + ", " + std::to_string(pf.rgbBitCount) + " bits, masks " +
         hex(pf.redMask) + " " + hex(pf.greenMask) + " " + hex(pf.blueMask) + " " +
         hex(pf.alphaMask);
}

std::string sizeText(const DdsHeader& header) {
  return std::to_string(header.width) + " x " + std::to_string(header.height);
}

}  // namespace

std::string ddsTooShortText(uint64_t have, uint64_t need) {
  return "file too short: " + std::to_string(have) + " of " + std::to_string(need) + " bytes";
}

std::string describeDdsRefusal(DdsCheck check, const DdsHeader& header, uint64_t fileSize) {
  switch (check) {
    case DdsCheck::Ok:
      return "";
    case DdsCheck::TooShort:
      return ddsTooShortText(fileSize, header.hasDx10 ? kDdsHeaderBytes + kDdsDx10HeaderBytes
                                                      : kDdsHeaderBytes);
    case DdsCheck::BadMagic:
      return "not a DDS file: no \"DDS \" at its start";
    case DdsCheck::BadHeaderSize:
      return "header size " + std::to_string(header.size) + ", not 124";
    case DdsCheck::BadPixelFormatSize:
      return "pixel format size " + std::to_string(header.pixelFormat.size) + ", not 32";
    case DdsCheck::BadDimensions:
      return "width or height out of range: " + sizeText(header);
    case DdsCheck::BadMipMapCount:
      return "mipmap count " + std::to_string(header.mipMapCount) + " larger than " +
             sizeText(header) + " allows";
    case DdsCheck::BadExtension:
      return "DX10 extension out of range: dimension " +
             std::to_string(header.dx10.resourceDimension) + ", array size " +
             std::to_string(header.dx10.arraySize) + ", flags " + hex(header.dx10.miscFlag) +
             ", alpha mode " + std::to_string(header.dx10.miscFlags2 & kDdsAlphaModeMask);
    case DdsCheck::UnsupportedLayout:
      return "unsupported pixel format: " + pixelFormatText(header);
    case DdsCheck::TooLarge:
      return "image too large: " + sizeText(header);
    case DdsCheck::Truncated:
      return ddsTooShortText(fileSize,
                             header.dataOffset + ddsTopLevelDataSize(header, describeDdsLayout(header)));
  }
  return "";
}
