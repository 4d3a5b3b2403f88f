#include "pipeline/drawing/picture_decoder.h"

#include <FreeImage.h>

#include <algorithm>
#include <vector>

#include "formats/bitmap.h"
#include "formats/library_messages.h"
#include "pipeline/drawing/jpeg_decoder.h"
#include "pipeline/drawing/png_codec.h"
#include "platform/files.h"

namespace {

bool startsWithBytes(const std::string& data, std::string_view prefix) {
  return data.size() >= prefix.size() && data.compare(0, prefix.size(), prefix) == 0;
}

// What FreeImage says about a damaged picture only means that the picture
// gives no watermark: it must not fail the conversion of the image, so the
// messages recorded since `before` are dropped again.
class PictureMessages {
 public:
  PictureMessages() : before_(pendingLibraryMessageCount()) {}
  ~PictureMessages() {
    if (pendingLibraryMessageCount() == before_) return;
    std::vector<std::string> messages = takeThreadLibraryMessages();
    messages.resize(std::min(messages.size(), before_));
    for (const std::string& message : messages) recordLibraryMessage(message);
  }
  PictureMessages(const PictureMessages&) = delete;
  PictureMessages& operator=(const PictureMessages&) = delete;
  bool any() const { return pendingLibraryMessageCount() != before_; }

 private:
  size_t before_;
};

// BMP and icon files go through FreeImage's readers for those two types only.
// The header is read first so that an oversized picture is refused before its
// pixels are allocated.
bool decodeWithFreeImage(const std::string& data, FREE_IMAGE_FORMAT format, Canvas* picture) {
  PictureMessages messages;
  std::string copy = data;  // FreeImage wants a writable buffer
  MemoryStream stream(FreeImage_OpenMemory(reinterpret_cast<BYTE*>(copy.data()),
                                           static_cast<DWORD>(copy.size())));
  if (!stream) return false;
  const int flags = format == FIF_ICO ? ICO_MAKEALPHA : 0;
  {
    Bitmap header = adoptBitmap(FreeImage_LoadFromMemory(format, stream.get(), FIF_LOAD_NOPIXELS | flags));
    if (!header) return false;
    const int64_t pixels = int64_t{FreeImage_GetWidth(header.get())} * FreeImage_GetHeight(header.get());
    if (pixels <= 0 || pixels > kMaxPicturePixels) return false;
  }
  FreeImage_SeekMemory(stream.get(), 0, SEEK_SET);
  Bitmap loaded = adoptBitmap(FreeImage_LoadFromMemory(format, stream.get(), flags));
  if (!loaded || messages.any() || FreeImage_GetImageType(loaded.get()) != FIT_BITMAP) return false;
  bool hasAlpha = FreeImage_GetBPP(loaded.get()) == 32 || FreeImage_IsTransparent(loaded.get());
  Bitmap rgba = adoptBitmap(FreeImage_ConvertTo32Bits(loaded.get()));
  if (!rgba) return false;
  const auto width = static_cast<int32_t>(FreeImage_GetWidth(rgba.get()));
  const auto height = static_cast<int32_t>(FreeImage_GetHeight(rgba.get()));
  Canvas decoded;
  if (!decoded.create(width, height)) return false;
  bool anyAlpha = false;
  for (int32_t y = 0; y < height; ++y) {
    // FreeImage keeps rows bottom-up in blue, green, red, alpha order.
    const BYTE* in = FreeImage_GetScanLine(rgba.get(), height - 1 - y);
    RgbaPixel* out = decoded.row(y);
    for (int32_t x = 0; x < width; ++x, in += 4) {
      out[x] = {in[FI_RGBA_RED], in[FI_RGBA_GREEN], in[FI_RGBA_BLUE], in[FI_RGBA_ALPHA]};
      anyAlpha = anyAlpha || in[FI_RGBA_ALPHA] != 0;
    }
  }
  // Most 32-bit BMP files leave the fourth byte zero; such a file is opaque.
  if (format == FIF_BMP && hasAlpha && !anyAlpha) {
    hasAlpha = false;
  }
  if (!hasAlpha) {
    for (int32_t y = 0; y < height; ++y) {
      RgbaPixel* row = decoded.row(y);
      for (int32_t x = 0; x < width; ++x) row[x].a = 255;
    }
  }
  decoded.setDepth(hasAlpha ? 32 : 24);
  *picture = std::move(decoded);
  return true;
}

}  // namespace

PictureType sniffPictureType(const std::string& data) {
  if (startsWithBytes(data, "\x89PNG\r\n\x1a\n")) return PictureType::kPng;
  if (startsWithBytes(data, "\xFF\xD8\xFF")) return PictureType::kJpeg;
  if (startsWithBytes(data, "BM")) return PictureType::kBmp;
  if (startsWithBytes(data, std::string_view("\x00\x00\x01\x00", 4))) return PictureType::kIcon;
  return PictureType::kUnknown;
}

bool decodePicture(const std::string& path, Canvas* picture) {
  *picture = Canvas();
  std::string data;
  if (!readWholeFile(path, &data)) return false;
  switch (sniffPictureType(data)) {
    case PictureType::kPng: return decodePng(data, picture);
    case PictureType::kJpeg: return decodeJpeg(data, picture);
    case PictureType::kBmp: return decodeWithFreeImage(data, FIF_BMP, picture);
    case PictureType::kIcon: return decodeWithFreeImage(data, FIF_ICO, picture);
    case PictureType::kUnknown: break;
  }
  return false;
}
