#include "formats/dds/raw_dds.h"

#include <fstream>

namespace {

void put32(std::string& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

RawDdsHeader fourCcHeader(uint32_t width, uint32_t height, uint32_t fourCc) {
  RawDdsHeader header;
  header.width = width;
  header.height = height;
  header.pixelFlags = 0x4;
  header.fourCc = fourCc;
  return header;
}

RawDdsHeader dxgiHeader(uint32_t width, uint32_t height, uint32_t dxgiFormat) {
  RawDdsHeader header = fourCcHeader(width, height, rawFourCc("DX10"));
  header.dxgiFormat = dxgiFormat;
  return header;
}

RawDdsHeader maskHeader(uint32_t width, uint32_t height, uint32_t pixelFlags, uint32_t bitCount,
                        uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha) {
  RawDdsHeader header;
  header.width = width;
  header.height = height;
  header.pixelFlags = pixelFlags;
  header.bitCount = bitCount;
  header.masks[0] = red;
  header.masks[1] = green;
  header.masks[2] = blue;
  header.masks[3] = alpha;
  return header;
}

std::string buildRawDds(const RawDdsHeader& h, const std::string& payload) {
  std::string out;
  put32(out, h.magic);
  put32(out, h.size);
  put32(out, h.flags);
  put32(out, h.height);
  put32(out, h.width);
  put32(out, h.pitchOrLinearSize);
  put32(out, h.depth);
  put32(out, h.mipMapCount);
  for (int i = 0; i < 11; ++i) put32(out, 0);  // reserved
  put32(out, h.pixelFormatSize);
  put32(out, h.pixelFlags);
  put32(out, h.fourCc);
  put32(out, h.bitCount);
  for (uint32_t mask : h.masks) put32(out, mask);
  put32(out, h.caps);
  put32(out, h.caps2);
  put32(out, 0);
  put32(out, 0);
  put32(out, 0);  // reserved
  if ((h.pixelFlags & 0x4) && h.fourCc == rawFourCc("DX10")) {
    put32(out, h.dxgiFormat);
    put32(out, h.resourceDimension);
    put32(out, h.miscFlag);
    put32(out, h.arraySize);
    put32(out, h.miscFlags2);
  }
  return out + payload;
}

bool writeTestFile(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}
