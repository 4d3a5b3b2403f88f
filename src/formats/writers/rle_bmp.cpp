#include "formats/writers/rle_bmp.h"

#include <cstring>
#include <exception>

namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr size_t kInfoHeaderBytes = 40;
constexpr uint32_t kBiRle8 = 1;
constexpr size_t kLongestRun = 255;
constexpr size_t kLongestStretch = 254;

// One row's codes: equal runs and the stretches of other bytes between them.
class RowCoder {
 public:
  explicit RowCoder(std::string& out) : out_(out) {}

  void run(BYTE value, size_t count) {
    flushStretch();
    pair(static_cast<BYTE>(count), value);
  }

  void literal(BYTE value) {
    stretch_[length_++] = value;
    if (length_ == kLongestStretch) flushStretch();
  }

  void endRow() {
    flushStretch();
    pair(0, 0);
  }

 private:
  void pair(BYTE first, BYTE second) {
    out_ += static_cast<char>(first);
    out_ += static_cast<char>(second);
  }

  // Absolute mode needs at least 3 bytes; shorter stretches become runs of 1.
  void flushStretch() {
    if (length_ < 3) {
      for (size_t i = 0; i < length_; ++i) pair(1, stretch_[i]);
    } else {
      pair(0, static_cast<BYTE>(length_));
      out_.append(reinterpret_cast<const char*>(stretch_), length_);
      if (length_ % 2 == 1) out_ += '\0';
    }
    length_ = 0;
  }

  std::string& out_;
  BYTE stretch_[kLongestStretch] = {};
  size_t length_ = 0;
};

void encodeRow(const BYTE* row, size_t width, std::string& out) {
  RowCoder coder(out);
  for (size_t i = 0; i < width;) {
    size_t count = 1;
    while (i + count < width && count < kLongestRun && row[i + count] == row[i]) ++count;
    if (count > 3) {
      coder.run(row[i], count);
    } else {
      for (size_t k = 0; k < count; ++k) coder.literal(row[i]);
    }
    i += count;
  }
  coder.endRow();
}

void putWord(std::string& out, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::string encodeRle8Pixels(FIBITMAP* image) {
  const unsigned width = FreeImage_GetWidth(image);
  const unsigned height = FreeImage_GetHeight(image);
  std::string out;
  out.reserve(static_cast<size_t>(width + 2) * height + 2);
  for (unsigned y = 0; y < height; ++y) encodeRow(FreeImage_GetScanLine(image, static_cast<int>(y)), width, out);
  out += '\0';
  out += '\1';
  return out;
}

bool buildRleBmp(FIBITMAP* image, std::string* file) {
  if (!image || FreeImage_GetImageType(image) != FIT_BITMAP || FreeImage_GetBPP(image) != 8 ||
      FreeImage_GetPalette(image) == nullptr) {
    return false;
  }
  try {
    const std::string pixels = encodeRle8Pixels(image);
    const size_t tableBytes = 4u * FreeImage_GetColorsUsed(image);
    const size_t pixelOffset = kFileHeaderBytes + kInfoHeaderBytes + tableBytes;
    file->assign(pixelOffset, '\0');
    (*file)[0] = 'B';
    (*file)[1] = 'M';
    putWord(*file, 2, static_cast<uint32_t>(pixelOffset + pixels.size()));
    putWord(*file, 10, static_cast<uint32_t>(pixelOffset));
    BITMAPINFOHEADER info;
    static_assert(sizeof(info) == kInfoHeaderBytes);
    std::memcpy(&info, FreeImage_GetInfoHeader(image), sizeof(info));
    info.biCompression = kBiRle8;
    info.biSizeImage = static_cast<DWORD>(pixels.size());
    std::memcpy(file->data() + kFileHeaderBytes, &info, sizeof(info));
    std::memcpy(file->data() + kFileHeaderBytes + kInfoHeaderBytes, FreeImage_GetPalette(image),
                tableBytes);
    *file += pixels;
  } catch (const std::exception&) {
    file->clear();
    return false;
  }
  return true;
}
