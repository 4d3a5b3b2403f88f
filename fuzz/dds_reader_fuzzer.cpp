// Feeds arbitrary bytes to the DDS reader. Any input must give either a
// bitmap or none, with no read outside the input, no undefined behaviour and
// no allocation beyond what the header check allows. Past the first surface
// it walks the others a file claims (levels, faces, slices): every surface
// listed must lie where the directory says, within the data, up to the one
// that ends the list, and each decodes or fails cleanly.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "formats/dds/dds_header.h"
#include "formats/dds/dds_reader.h"
#include "formats/dds/dds_surfaces.h"

namespace {

// Decoding every surface of a long list would make each input slow; a few
// from the start and the end of the list find the same faults.
constexpr size_t kDecodedEnds = 3;

void touch(const Bitmap& bitmap) {
  if (!bitmap) return;
  // Touch the last byte of the first scanline so a short allocation shows.
  const unsigned pitch = FreeImage_GetPitch(bitmap.get());
  volatile BYTE last = FreeImage_GetScanLine(bitmap.get(), 0)[pitch - 1];
  (void)last;
}

void walkSurfaces(const uint8_t* data, size_t size) {
  DdsHeader header;
  if (checkDdsHeader(data, size, size, &header) != DdsCheck::Ok) return;
  const DdsLayout layout = describeDdsLayout(header);
  const DdsSurfaceChoice all{true, true, true};
  if (exceedsDdsSurfaceLimits(header, layout, all)) return;
  const DdsSurfaceDirectory directory = describeDdsSurfaces(header, layout);
  const std::vector<DdsSurfaceId> surfaces = chooseDdsSurfaces(header, layout, all, size);
  for (size_t i = 0; i < surfaces.size(); ++i) {
    DdsSurfaceSpan span;
    const bool found = locateDdsSurface(header, layout, directory, surfaces[i], &span);
    const bool inside = found && span.offset <= size && span.size <= size - span.offset;
    // Only the last surface of the list may lie outside the data.
    if (i + 1 < surfaces.size() && !inside) std::abort();
    if (i < kDecodedEnds || i + kDecodedEnds >= surfaces.size()) {
      touch(readDdsSurface(data, size, surfaces[i]));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  touch(readDdsImage(data, size));
  walkSurfaces(data, size);
  return 0;
}
