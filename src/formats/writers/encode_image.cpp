#include "formats/writers/encode_image.h"

#include "formats/format_tables.h"
#include "formats/writers/devil_writer.h"
#include "formats/writers/direct_encode.h"
#include "formats/writers/exact_palette_bmp.h"
#include "formats/writers/freeimage_writer.h"
#include "formats/writers/jxr_writer.h"
#include "formats/writers/output_bytes.h"
#include "formats/writers/raw_writer_input.h"
#include "formats/writers/rle_bmp.h"
#include "formats/writers/xpm_writer.h"

namespace {

// Room for an uncompressed file of the image plus its headers, so that the
// common case never moves the buffer; pages a smaller file leaves unwritten
// cost nothing.
size_t expectedFileSize(FIBITMAP* image) {
  const size_t pixels = static_cast<size_t>(FreeImage_GetPitch(image)) * FreeImage_GetHeight(image);
  return pixels + pixels / 16 + 65536;
}

// A writer of ours builds the whole file in memory first.
bool encodeOwn(FIBITMAP* image, OutputBytes* out, bool (*build)(FIBITMAP*, std::string*)) {
  std::string file;
  return build(image, &file) && out->write(file.data(), file.size());
}

bool encodeInto(FIBITMAP* image, const SaveTarget& target, OutputBytes* out) {
  const OutputFormat* format = findOutputFormat(target.extension);
  const OutputWriter writer = format ? format->writer : OutputWriter::kFreeImage;
  if (writer == OutputWriter::kDevil) return encodeWithDevil(image, target.formatCode, out);
  if (target.exactPalette) {
    std::string file;
    return buildExactPaletteBmp(image, target.saveFlags, &file) &&
           out->write(file.data(), file.size());
  }
  if (writer == OutputWriter::kXpm) return encodeOwn(image, out, buildXpm);
  // FreeImage's RLE8 encoder leaves bytes unset; ours writes the same codes.
  if (format && format->rle8Writer && (target.saveFlags & BMP_SAVE_RLE) && FreeImage_GetBPP(image) == 8) {
    return encodeOwn(image, out, buildRleBmp);
  }
  // FreeImage cannot write JPEG XR on every platform; libjxr can.
  if (writer == OutputWriter::kJxr) return encodeJxrImage(image, out);
  return encodeWithFreeImage(image, target.formatCode, target.saveFlags, out);
}

}  // namespace

EncodedImage encodeImage(Bitmap image, const SaveTarget& target) {
  EncodedImage encoded;
  if (!image) return encoded;
  prepareForRawWriter(image.get(), target);
  if (encodeDirectly(image, target, &encoded)) return encoded;
  OutputBytes out(expectedFileSize(image.get()));
  encoded.ok = encodeInto(image.get(), target, &out) && out.size() > 0;
  encoded.outOfMemory = out.outOfMemory();
  if (encoded.ok) encoded.bytes = out.take();
  return encoded;
}

ByteSource encodedBytes(const EncodedImage& encoded) {
  if (encoded.stream) return encoded.stream;
  return [&encoded](ByteSink& sink) { return sink.write(encoded.bytes.data(), encoded.bytes.size()); };
}
