#include "pipeline/srgb_curve.h"

#include <cmath>
#include <vector>

namespace {

double decode(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }

double encode(double v) { return v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055; }

// The smallest float at or above value, so that for any float x,
// x >= roundedUp(value) exactly when x >= value.
float roundedUp(double value) {
  float f = static_cast<float>(value);
  if (static_cast<double>(f) < value) f = std::nextafter(f, 2.0f);
  return f;
}

}  // namespace

SrgbTables::SrgbTables() {
  for (int k = 0; k < 256; ++k) decoded[k] = static_cast<float>(decode(k / 255.0));
  for (int k = 0; k < 255; ++k) threshold[k] = roundedUp(decode((k + 0.5) / 255.0));
  int code = 0;
  for (int i = 0; i < kBins; ++i) {
    const float low = static_cast<float>(i) / kBins;
    while (code < 255 && low >= threshold[code]) ++code;
    start[i] = static_cast<uint8_t>(code);
  }
}

const SrgbTables& srgbTables() {
  static const SrgbTables kTables;
  return kTables;
}

SrgbWordTables::SrgbWordTables() {
  for (int k = 0; k < 256; ++k) decoded[k] = static_cast<uint16_t>(std::lround(decode(k / 255.0) * 65535.0));
  const SrgbTables& tables = srgbTables();
  for (int v = 0; v < 65536; ++v) encoded[v] = tables.encode(static_cast<float>(v / 65535.0));
}

const SrgbWordTables& srgbWordTables() {
  static const SrgbWordTables kTables;
  return kTables;
}

float srgbDecode(float encoded) { return static_cast<float>(decode(encoded)); }

float srgbEncode(float linear) { return static_cast<float>(encode(linear)); }

namespace {

// The 16-bit counterpart of SrgbTables: threshold[k] is the least float whose
// code is above k, start[i] the code of i / kBins. A value's code lies
// between its bin's start and the next bin's, found by halving.
struct WideEncodeTables {
  static constexpr int kBins = 65536;
  std::vector<float> threshold = std::vector<float>(65535);
  std::vector<uint16_t> start = std::vector<uint16_t>(kBins + 1);

  WideEncodeTables() {
    for (int k = 0; k < 65535; ++k) threshold[k] = roundedUp(decode((k + 0.5) / 65535.0));
    int code = 0;
    for (int i = 0; i <= kBins; ++i) {
      const float low = static_cast<float>(i) / kBins;
      while (code < 65535 && low >= threshold[code]) ++code;
      start[i] = static_cast<uint16_t>(code);
    }
  }
};

}  // namespace

uint16_t srgbEncode16(float linear) {
  if (!(linear > 0.0f)) return 0;
  if (linear >= 1.0f) return 65535;
  static const WideEncodeTables kTables;
  const int bin = static_cast<int>(linear * WideEncodeTables::kBins);
  int low = kTables.start[bin];
  int high = kTables.start[bin + 1];
  while (low < high) {
    const int middle = (low + high) / 2;
    if (linear >= kTables.threshold[middle]) low = middle + 1;
    else high = middle;
  }
  return static_cast<uint16_t>(low);
}
