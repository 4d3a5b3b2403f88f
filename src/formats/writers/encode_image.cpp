#include "formats/writers/encode_image.h"

#include "formats/writers/devil_writer.h"
#include "formats/writers/exact_palette_bmp.h"
#include "formats/writers/freeimage_writer.h"
#include "formats/writers/jxr_writer.h"
#include "formats/writers/output_bytes.h"
#include "formats/writers/rle_bmp.h"
#include "formats/writers/xpm_writer.h"

namespace {

bool isDevilFormat(const std::string& extension) {
  return extension == "psd" || extension == "pcx" || extension == "dds";
}

// Room for an uncompressed file of the image plus its headers, so that the
// common case never moves the buffer; pages a smaller file leaves unwritten
// cost nothing.
size_t expectedFileSize(FIBITMAP* image) {
  const size_t pixels = static_cast<size_t>(FreeImage_GetPitch(image)) * FreeImage_GetHeight(image);
  return pixels + pixels / 16 + 65536;
}

// A writer of ours builds the whole file in memory first.
bool encodeOwn(bool (*build)(FIBITMAP*, std::string*), FIBITMAP* image, OutputBytes* out) {
  std::string file;
  return build(image, &file) && out->write(file.data(), file.size());
}

bool isRleBmp(FIBITMAP* image, const SaveTarget& target) {
  return target.extension == "bmp" && (target.saveFlags & BMP_SAVE_RLE) && FreeImage_GetBPP(image) == 8;
}

bool encodeInto(FIBITMAP* image, const SaveTarget& target, OutputBytes* out) {
  if (isDevilFormat(target.extension)) return encodeWithDevil(image, target.formatCode, out);
  if (target.exactPalette) {
    std::string file;
    return buildExactPaletteBmp(image, target.saveFlags, &file) &&
           out->write(file.data(), file.size());
  }
  if (target.extension == "xpm") return encodeOwn(buildXpm, image, out);
  if (isRleBmp(image, target)) return encodeOwn(buildRleBmp, image, out);
  // FreeImage cannot write JPEG XR on every platform; libjxr can.
  if (target.extension == "jxr") return encodeJxrImage(image, out);
  return encodeWithFreeImage(image, target.formatCode, target.saveFlags, out);
}

}  // namespace

EncodedImage encodeImage(FIBITMAP* image, const SaveTarget& target) {
  EncodedImage encoded;
  if (!image) return encoded;
  OutputBytes out(expectedFileSize(image));
  encoded.ok = encodeInto(image, target, &out) && out.size() > 0;
  encoded.outOfMemory = out.outOfMemory();
  if (encoded.ok) encoded.bytes = out.take();
  return encoded;
}
