#include "formats/writers/direct_encode.h"

#include <memory>
#include <utility>

#include "formats/format_tables.h"
#include "formats/writers/freeimage_writer.h"
#include "formats/writers/png_encoder.h"

namespace {

// The deflate level of FreeImage's PNG save flags: stored blocks for
// PNG_Z_NO_COMPRESSION, the level in the low bits, else zlib's default.
int pngLevel(int32_t flags) {
  const int level = flags & 0x0F;
  if (level >= 1 && level <= 9) return level;
  return (flags & PNG_Z_NO_COMPRESSION) == PNG_Z_NO_COMPRESSION ? 0 : 6;
}

bool encodePngTarget(Bitmap& image, const SaveTarget& target, EncodedImage* encoded) {
  PngOptions options;
  options.level = pngLevel(target.saveFlags);
  options.interlaced = (target.saveFlags & PNG_INTERLACED) == PNG_INTERLACED;
  options.colorTag = target.colorTag;
  return encodePng(image, options, encoded);
}

}  // namespace

bool encodeDirectly(Bitmap& image, const SaveTarget& target, EncodedImage* encoded) {
  const OutputFormat* format = findOutputFormat(target.extension);
  if (!format) return false;
  if (format->writer == OutputWriter::kPng) return encodePngTarget(image, target, encoded);
  if (!format->streamsFromRows || target.exactPalette ||
      !isStreamedByFreeImage(image.get(), target.formatCode, target.saveFlags)) {
    return false;
  }
  // FreeImage alone writes PFM rows top first; the format has the bottom row first.
  if (target.formatCode == FIF_PFM && !FreeImage_FlipVertical(image.get())) return false;
  std::shared_ptr<FIBITMAP> kept(std::move(image));
  const int32_t code = target.formatCode;
  const int32_t flags = target.saveFlags;
  *encoded = EncodedImage{};
  encoded->stream = [kept, code, flags](ByteSink& sink) {
    return streamWithFreeImage(kept.get(), code, flags, sink);
  };
  encoded->ok = true;
  return true;
}
