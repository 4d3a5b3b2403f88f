#include "pipeline/save_image.h"

#include "pipeline/devil_writer.h"
#include "pipeline/exact_palette_bmp.h"
#include "pipeline/freeimage_writer.h"
#include "pipeline/jxr_writer.h"
#include "pipeline/safe_save.h"

namespace {

constexpr int32_t kExactColorTable = 1;  // bmpColorTable EXACT

bool isDevilFormat(const std::string& extension) {
  return extension == "psd" || extension == "pcx" || extension == "dds";
}

}  // namespace

bool saveImage(FIBITMAP* image, const ConversionSettings& settings, const ConversionJob& job) {
  if (!image) return false;
  const std::string& extension = job.conversion;
  return saveThroughTemporary(job.tempOutputFile, job.outputFile, [&](const std::string& path) {
    if (isDevilFormat(extension)) return writeWithDevil(image, job.outputFormatCode, path);
    if (extension == "bmp" && job.requestedBpp == 8 && settings.bmpColorTable == kExactColorTable) {
      return writeExactPaletteBmp(image, path, job.saveFlags);
    }
    // FreeImage cannot write JPEG XR on every platform; libjxr can.
    if (extension == "jxr") return writeJxrFile(image, path);
    return writeWithFreeImage(image, job.outputFormatCode, path, job.saveFlags);
  });
}
