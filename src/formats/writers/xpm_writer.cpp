#include "formats/writers/xpm_writer.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <vector>

namespace {

constexpr char kDigits[] =
    " .XoO+@#$%&*=-;:>,<1234567890qwertyuipasdfghjklzxcvbnmMNBVCZASDFGHJKLPIUYTREWQ!~^/()_`'][{}|";
constexpr uint32_t kBase = sizeof(kDigits) - 1;
static_assert(kBase == 92);

constexpr char kHeader[] =
    "/* XPM */\nstatic char *freeimage[] = {\n/* width height num_colors chars_per_pixel */\n\"";
constexpr char kStartColours[] = "\",\n/* colors */\n\"";
constexpr char kStartPixels[] = "\",\n/* pixels */\n\"";
constexpr char kNextLine[] = "\",\n\"";
constexpr char kFooter[] = "\"\n};\n";

// Characters per pixel: the number of base-92 digits of the colour count.
int codeWidth(size_t colours) {
  int width = 1;
  for (; colours >= kBase; colours /= kBase) ++width;
  return width;
}

void appendCode(std::string& out, uint32_t number, int width) {
  out.resize(out.size() + static_cast<size_t>(width));
  for (size_t i = out.size(); width-- > 0; number /= kBase) out[--i] = kDigits[number % kBase];
}

void appendHexByte(std::string& out, uint32_t value) {
  constexpr char kHex[] = "0123456789abcdef";
  out += kHex[(value >> 4) & 0xF];
  out += kHex[value & 0xF];
}

// The image's pixels as 0xRRGGBB, top row first.
std::vector<uint32_t> readColours(FIBITMAP* image, unsigned width, unsigned height) {
  const unsigned step = FreeImage_GetBPP(image) / 8;
  std::vector<uint32_t> colours;
  colours.reserve(static_cast<size_t>(width) * height);
  for (unsigned y = height; y-- > 0;) {
    const BYTE* p = FreeImage_GetScanLine(image, static_cast<int>(y));
    for (unsigned x = 0; x < width; ++x, p += step) {
      colours.push_back(static_cast<uint32_t>(p[FI_RGBA_RED]) << 16 |
                        static_cast<uint32_t>(p[FI_RGBA_GREEN]) << 8 | p[FI_RGBA_BLUE]);
    }
  }
  return colours;
}

// Replaces each pixel's colour by its number (order of first appearance) and
// returns the colours by number.
std::vector<uint32_t> numberColours(std::vector<uint32_t>& pixels) {
  std::vector<uint32_t> distinct = pixels;
  std::sort(distinct.begin(), distinct.end());
  distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
  std::vector<uint32_t> numberOf(distinct.size(), UINT32_MAX);
  std::vector<uint32_t> byNumber;
  byNumber.reserve(distinct.size());
  for (uint32_t& pixel : pixels) {
    const size_t index = static_cast<size_t>(
        std::lower_bound(distinct.begin(), distinct.end(), pixel) - distinct.begin());
    if (numberOf[index] == UINT32_MAX) {
      numberOf[index] = static_cast<uint32_t>(byNumber.size());
      byNumber.push_back(pixel);
    }
    pixel = numberOf[index];
  }
  return byNumber;
}

void writeXpm(unsigned width, unsigned height, const std::vector<uint32_t>& numbers,
              const std::vector<uint32_t>& colours, std::string& out) {
  const int cpp = codeWidth(colours.size());
  out.reserve(numbers.size() * static_cast<size_t>(cpp) + height * 4 +
              colours.size() * (static_cast<size_t>(cpp) + 15) + 256);
  out = kHeader;
  out += std::to_string(width) + " " + std::to_string(height) + " " +
         std::to_string(colours.size()) + " " + std::to_string(cpp);
  out += kStartColours;
  for (size_t n = 0; n < colours.size(); ++n) {
    if (n > 0) out += kNextLine;
    appendCode(out, static_cast<uint32_t>(n), cpp);
    out += " c #";
    for (int shift : {16, 8, 0}) appendHexByte(out, colours[n] >> shift);
  }
  out += kStartPixels;
  for (unsigned y = 0; y < height; ++y) {
    if (y > 0) out += kNextLine;
    for (unsigned x = 0; x < width; ++x) appendCode(out, numbers[static_cast<size_t>(y) * width + x], cpp);
  }
  out += kFooter;
}

}  // namespace

bool buildXpm(FIBITMAP* image, std::string* file) {
  if (!image || FreeImage_GetImageType(image) != FIT_BITMAP) return false;
  const unsigned bpp = FreeImage_GetBPP(image);
  if (bpp != 24 && bpp != 32) return false;
  const unsigned width = FreeImage_GetWidth(image);
  const unsigned height = FreeImage_GetHeight(image);
  try {
    std::vector<uint32_t> pixels = readColours(image, width, height);
    const std::vector<uint32_t> colours = numberColours(pixels);
    writeXpm(width, height, pixels, colours, *file);
  } catch (const std::exception&) {
    file->clear();
    return false;
  }
  return true;
}
