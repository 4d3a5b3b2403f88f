// Feeds arbitrary bytes to the DDS reader. Any input must give either a
// bitmap or none, with no read outside the input, no undefined behaviour and
// no allocation beyond what the header check allows.

#include <cstddef>
#include <cstdint>

#include "formats/dds/dds_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Bitmap bitmap = readDdsImage(data, size);
  if (bitmap) {
    // Touch the last byte of the first scanline so a short allocation shows.
    const unsigned pitch = FreeImage_GetPitch(bitmap.get());
    volatile BYTE last = FreeImage_GetScanLine(bitmap.get(), 0)[pitch - 1];
    (void)last;
  }
  return 0;
}
