#include "formats/writers/devil_writer.h"

#include <mutex>
#include <vector>

#include "formats/library_messages.h"
#include "formats/writers/devil_calls.h"
#include "formats/writers/devil_image.h"

namespace {

std::mutex devilLock;

OutputBytes* sink(ILHANDLE handle) { return static_cast<OutputBytes*>(handle); }

// DevIL 1.7.8 saves PCX only by name (ilSaveF refuses it), so every format is
// saved by name: the name is a token our open callback receives, and the
// handle it gives back is the OutputBytes of the save in progress. DevIL is
// told it may overwrite, so it never looks the token up as a file either.
constexpr char kOutputToken[] = "pellucid-output";
OutputBytes* savingInto = nullptr;  // guarded by devilLock

ILHANDLE ILAPIENTRY openOutput(ILconst_string) { return static_cast<ILHANDLE>(savingInto); }

void ILAPIENTRY closeOutput(ILHANDLE) {}

ILint ILAPIENTRY putByte(ILubyte byte, ILHANDLE handle) {
  return sink(handle)->write(&byte, 1) ? byte : IL_EOF;
}

ILint ILAPIENTRY writeBytes(const void* data, ILuint size, ILuint count, ILHANDLE handle) {
  return sink(handle)->write(data, static_cast<size_t>(size) * count) ? static_cast<ILint>(count)
                                                                       : 0;
}

ILint ILAPIENTRY seekBytes(ILHANDLE handle, ILint offset, ILint origin) {
  return sink(handle)->seek(offset, origin) ? 0 : -1;
}

ILint ILAPIENTRY tellBytes(ILHANDLE handle) { return static_cast<ILint>(sink(handle)->tell()); }

// Saves the bound image through the callbacks above, then puts DevIL's own
// file callbacks back. Called with devilLock held.
bool saveBoundImage(const DevilCalls& il, ILenum type, OutputBytes* out) {
  savingInto = out;
  il.enable(IL_FILE_OVERWRITE);
  il.setWrite(openOutput, closeOutput, putByte, seekBytes, tellBytes, writeBytes);
  const bool saved = il.save(type, kOutputToken) != IL_FALSE;
  il.resetWrite();
  savingInto = nullptr;
  return saved && !out->outOfMemory();
}

}  // namespace

bool encodeWithDevil(FIBITMAP* image, int32_t devilType, OutputBytes* out) {
  if (!image || FreeImage_GetImageType(image) != FIT_BITMAP) return false;
  const DevilCalls* calls = devilCalls();
  if (!calls) {
    recordLibraryMessage("The DevIL libraries (libIL.so.1, libILU.so.1) could not be loaded");
    return false;
  }
  const DevilCalls& il = *calls;
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
  DevilImage devilImage(il);
  if (!devilImage.valid()) return false;
  il.bindImage(devilImage.name());
  const ILenum layout = depth == 32 ? IL_BGRA : IL_BGR;
  if (!il.texImage(width, height, 1, static_cast<ILubyte>(bytesPerPixel), layout, IL_UNSIGNED_BYTE,
                  pixels.data())) {
    return false;
  }
  std::vector<BYTE>().swap(pixels);  // DevIL holds its own copy now
  if (devilType == IL_DDS && !il.buildMipmaps()) return false;
  const bool saved = saveBoundImage(il, static_cast<ILenum>(devilType), out);
  while (il.getError() != IL_NO_ERROR) {
  }
  return saved;
}
