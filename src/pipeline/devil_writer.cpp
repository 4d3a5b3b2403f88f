#include "pipeline/devil_writer.h"

#include <IL/il.h>
#include <IL/ilu.h>

#include <mutex>
#include <vector>

#include "pipeline/devil_image.h"

namespace {

std::mutex devilLock;

void initialiseDevilOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    ilInit();
    iluInit();
  });
}

}  // namespace

bool writeWithDevil(FIBITMAP* image, int32_t devilType, const std::string& path) {
  if (!image || FreeImage_GetImageType(image) != FIT_BITMAP) return false;
  const unsigned depth = FreeImage_GetBPP(image);
  if (depth != 24 && depth != 32) return false;
  const unsigned width = FreeImage_GetWidth(image);
  const unsigned height = FreeImage_GetHeight(image);
  const unsigned bytesPerPixel = depth / 8;
  const unsigned pitch = width * bytesPerPixel;

  // Rows without padding, bottom row first, blue-green-red(-alpha): the
  // layout DevIL is told below, with its lower-left origin.
  std::vector<BYTE> pixels;
  try {
    pixels.resize(static_cast<size_t>(pitch) * height);
  } catch (const std::bad_alloc&) {
    return false;
  }
  FreeImage_ConvertToRawBits(pixels.data(), image, static_cast<int>(pitch), depth,
                             FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK, FALSE);

  std::lock_guard<std::mutex> guard(devilLock);
  initialiseDevilOnce();
  DevilImage devilImage;
  if (!devilImage.valid()) return false;
  ilBindImage(devilImage.name());
  ilEnable(IL_FILE_OVERWRITE);
  const ILenum layout = depth == 32 ? IL_BGRA : IL_BGR;
  if (!ilTexImage(width, height, 1, static_cast<ILubyte>(bytesPerPixel), layout, IL_UNSIGNED_BYTE,
                  pixels.data())) {
    return false;
  }
  std::vector<BYTE>().swap(pixels);  // DevIL holds its own copy now
  if (devilType == IL_DDS && !iluBuildMipmaps()) return false;
  const bool saved = ilSave(static_cast<ILenum>(devilType), path.c_str()) != IL_FALSE;
  while (ilGetError() != IL_NO_ERROR) {
  }
  return saved;
}
