#include "formats/writers/jxr_decoder.h"

#include <cstring>
#include <new>

#include "formats/writers/jxr_calls.h"

namespace {

struct FormatRow {
  JxrPixelFormat format;
  const char* guid;  // the GUID's symbol in the library
  uint32_t bitsPerPixel;
};

const FormatRow kFormats[] = {
    {JxrPixelFormat::BlackWhite, "GUID_PKPixelFormatBlackWhite", 1},
    {JxrPixelFormat::Gray8, "GUID_PKPixelFormat8bppGray", 8},
    {JxrPixelFormat::Rgb555, "GUID_PKPixelFormat16bppRGB555", 16},
    {JxrPixelFormat::Rgb565, "GUID_PKPixelFormat16bppRGB565", 16},
    {JxrPixelFormat::Rgb24, "GUID_PKPixelFormat24bppRGB", 24},
    {JxrPixelFormat::Bgra32, "GUID_PKPixelFormat32bppBGRA", 32},
    {JxrPixelFormat::Rgb48, "GUID_PKPixelFormat48bppRGB", 48},
    {JxrPixelFormat::RgbFloat128, "GUID_PKPixelFormat128bppRGBFloat", 128},
};

// Owner of the decoder; the decoder owns the memory stream once initialised.
struct JxrReadSession {
  PKImageDecode* decoder = nullptr;
  WMPStream* stream = nullptr;
  ~JxrReadSession() {
    if (decoder) {
      decoder->Release(&decoder);
    } else if (stream) {
      stream->Close(&stream);
    }
  }
};

const FormatRow* rowOf(const PKPixelFormatGUID& guid) {
  for (const FormatRow& row : kFormats) {
    if (IsEqualGUID(guid, jxrPixelFormatGuid(row.guid))) return &row;
  }
  return nullptr;
}

}  // namespace

bool decodeJxr(const uint8_t* bytes, size_t size, JxrDecoded* decoded) {
  JxrReadSession session;
  // The library reads through the stream only; it never writes into it.
  if (Failed(CreateWS_Memory(&session.stream, const_cast<uint8_t*>(bytes), size))) return false;
  if (Failed(PKImageDecode_Create_WMP(&session.decoder))) return false;
  PKImageDecode* d = session.decoder;
  if (Failed(d->Initialize(d, session.stream))) return false;
  d->fStreamOwner = TRUE;
  session.stream = nullptr;
  // The alpha plane is decoded only when asked for.
  if (d->WMP.bHasAlpha) d->WMP.wmiSCP.uAlphaMode = 2;
  PKPixelFormatGUID guid;
  I32 width = 0, height = 0;
  if (Failed(d->GetPixelFormat(d, &guid)) || Failed(d->GetSize(d, &width, &height))) return false;
  const FormatRow* row = rowOf(guid);
  if (!row || width <= 0 || height <= 0) return false;
  decoded->format = row->format;
  decoded->width = static_cast<uint32_t>(width);
  decoded->height = static_cast<uint32_t>(height);
  // Rows padded to whole words, as the library's own tools allocate them.
  decoded->stride = (decoded->width * row->bitsPerPixel + 31) / 32 * 4;
  decoded->pixels.assign(static_cast<size_t>(decoded->stride) * decoded->height, 0);
  PKRect rect{0, 0, width, height};
  return !Failed(d->Copy(d, &rect, decoded->pixels.data(), decoded->stride));
}
