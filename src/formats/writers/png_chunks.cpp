#include "formats/writers/png_chunks.h"

#include <isa-l/crc.h>

#include <cstring>

namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint32_t kSrgbGamma = 45455;     // 1 / 2.2 in units of 1 / 100000
constexpr uint32_t kLinearGamma = 100000;  // 1.0
constexpr uint8_t kPerceptual = 0;         // sRGB rendering intent
constexpr uint8_t kUnitMeter = 1;          // pHYs unit

void appendChunk(std::string* out, const char* type, const void* data, size_t size) {
  std::string chunk(8 + size + 4, '\0');
  auto* bytes = reinterpret_cast<uint8_t*>(chunk.data());
  putPngChunkStart(bytes, type, static_cast<uint32_t>(size));
  if (size > 0) std::memcpy(bytes + 8, data, size);
  putBigEndian32(bytes + 8 + size, pngChunkCrc(bytes + 4, 4 + size));
  out->append(chunk);
}

void appendWordChunk(std::string* out, const char* type, uint32_t value) {
  uint8_t bytes[4];
  putBigEndian32(bytes, value);
  appendChunk(out, type, bytes, 4);
}

}  // namespace

void putBigEndian32(uint8_t* out, uint32_t value) {
  out[0] = static_cast<uint8_t>(value >> 24);
  out[1] = static_cast<uint8_t>(value >> 16);
  out[2] = static_cast<uint8_t>(value >> 8);
  out[3] = static_cast<uint8_t>(value);
}

void putPngChunkStart(uint8_t* out, const char* type, uint32_t size) {
  putBigEndian32(out, size);
  std::memcpy(out + 4, type, 4);
}

uint32_t pngChunkCrc(const uint8_t* typeAndData, size_t size) {
  return pngCrcUpdate(0, typeAndData, size);
}

// ISA-L's CRC folds wider blocks than libdeflate's where the processor has
// them (several times as fast with AVX-512); stored PNG files are checksummed
// whole, so it counts.
uint32_t pngCrcUpdate(uint32_t crc, const uint8_t* data, size_t size) {
  return crc32_gzip_refl(crc, data, size);
}

std::string pngHead(const PngLayout& layout, bool interlaced, PngColorTag tag) {
  std::string head(reinterpret_cast<const char*>(kSignature), sizeof(kSignature));
  uint8_t header[13];
  putBigEndian32(header, layout.width);
  putBigEndian32(header + 4, layout.height);
  header[8] = layout.bitDepth;
  header[9] = layout.colorType;
  header[10] = 0;  // deflate
  header[11] = 0;  // adaptive filtering
  header[12] = interlaced ? 1 : 0;
  appendChunk(&head, "IHDR", header, sizeof(header));
  if (tag == PngColorTag::kSrgb) {
    appendWordChunk(&head, "gAMA", kSrgbGamma);
    appendChunk(&head, "sRGB", &kPerceptual, 1);
  } else if (tag == PngColorTag::kLinear) {
    appendWordChunk(&head, "gAMA", kLinearGamma);
  }
  if (!layout.palette.empty()) appendChunk(&head, "PLTE", layout.palette.data(), layout.palette.size());
  if (!layout.transparency.empty()) {
    appendChunk(&head, "tRNS", layout.transparency.data(), layout.transparency.size());
  }
  if (layout.dotsPerMeterX > 0 && layout.dotsPerMeterY > 0) {
    uint8_t physical[9];
    putBigEndian32(physical, layout.dotsPerMeterX);
    putBigEndian32(physical + 4, layout.dotsPerMeterY);
    physical[8] = kUnitMeter;
    appendChunk(&head, "pHYs", physical, sizeof(physical));
  }
  return head;
}

std::string pngEnd() {
  std::string end;
  appendChunk(&end, "IEND", nullptr, 0);
  return end;
}
