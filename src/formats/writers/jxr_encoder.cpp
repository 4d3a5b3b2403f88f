#include "formats/writers/jxr_encoder.h"

#include <new>

#include "formats/writers/jxr_calls.h"

namespace {

struct FormatRow {
  JxrPixelFormat format;
  const char* guid;  // the GUID's symbol in the library
  COLORFORMAT colorFormat;
  bool alpha;
};

const FormatRow kFormats[] = {
    {JxrPixelFormat::BlackWhite, "GUID_PKPixelFormatBlackWhite", Y_ONLY, false},
    {JxrPixelFormat::Gray8, "GUID_PKPixelFormat8bppGray", Y_ONLY, false},
    {JxrPixelFormat::Rgb555, "GUID_PKPixelFormat16bppRGB555", YUV_444, false},
    {JxrPixelFormat::Rgb565, "GUID_PKPixelFormat16bppRGB565", YUV_444, false},
    {JxrPixelFormat::Rgb24, "GUID_PKPixelFormat24bppRGB", YUV_444, false},
    {JxrPixelFormat::Bgra32, "GUID_PKPixelFormat32bppBGRA", YUV_444, true},
    {JxrPixelFormat::Rgb48, "GUID_PKPixelFormat48bppRGB", YUV_444, false},
    {JxrPixelFormat::RgbFloat128, "GUID_PKPixelFormat128bppRGBFloat", YUV_444, false},
};

// The library's stream interface over an OutputBytes (held in state.pvObj).
// The library closes the stream when it releases the encoder; closing frees
// only the stream object, never the bytes.
OutputBytes* sink(WMPStream* stream) { return static_cast<OutputBytes*>(stream->state.pvObj); }

ERR closeStream(WMPStream** stream) {
  delete *stream;
  *stream = nullptr;
  return WMP_errSuccess;
}

Bool endOfStream(WMPStream* stream) { return sink(stream)->tell() >= sink(stream)->size(); }

ERR readStream(WMPStream* stream, void* data, size_t size) {
  return sink(stream)->read(data, size) == size ? WMP_errSuccess : WMP_errFileIO;
}

ERR writeStream(WMPStream* stream, const void* data, size_t size) {
  return sink(stream)->write(data, size) ? WMP_errSuccess : WMP_errFileIO;
}

ERR setStreamPosition(WMPStream* stream, size_t position) {
  return sink(stream)->seek(static_cast<long long>(position), 0) ? WMP_errSuccess : WMP_errFileIO;
}

ERR getStreamPosition(WMPStream* stream, size_t* position) {
  *position = sink(stream)->tell();
  return WMP_errSuccess;
}

WMPStream* makeStream(OutputBytes* out) {
  auto* stream = new (std::nothrow) WMPStream{};
  if (!stream) return nullptr;
  stream->state.pvObj = out;
  stream->fMem = FALSE;
  stream->Close = closeStream;
  stream->EOS = endOfStream;
  stream->Read = readStream;
  stream->Write = writeStream;
  stream->SetPos = setStreamPosition;
  stream->GetPos = getStreamPosition;
  return stream;
}

// Owner of the library objects, released however the write ends.
struct JxrSession {
  PKFactory* factory = nullptr;
  PKImageEncode* encoder = nullptr;
  WMPStream* stream = nullptr;     // owned by the encoder once it is initialised
  bool streamHandedOver = false;
  ~JxrSession() {
    if (encoder) encoder->Release(&encoder);
    if (stream && !streamHandedOver) stream->Close(&stream);
    if (factory) factory->Release(&factory);
  }
};

}  // namespace

bool encodeJxr(JxrPixelFormat format, uint32_t width, uint32_t height, uint32_t stride,
               const uint8_t* pixels, OutputBytes* out) {
  const FormatRow* row = nullptr;
  for (const FormatRow& candidate : kFormats) {
    if (candidate.format == format) row = &candidate;
  }
  if (!row) return false;

  JxrSession session;
  if (Failed(PKCreateFactory(&session.factory, PK_SDK_VERSION))) return false;
  session.stream = makeStream(out);
  if (!session.stream) return false;
  if (Failed(PKImageEncode_Create_WMP(&session.encoder))) return false;
  PKImageEncode* e = session.encoder;
  // Initialise with the encoder's own zeroed parameters, then set them.
  if (Failed(e->Initialize(e, session.stream, &e->WMP.wmiSCP, sizeof(CWMIStrCodecParam)))) {
    return false;
  }
  session.streamHandedOver = true;
  CWMIStrCodecParam& params = e->WMP.wmiSCP;
  params.cfColorFormat = row->colorFormat;
  params.bdBitDepth = BD_LONG;
  params.bfBitstreamFormat = SPATIAL;
  params.bProgressiveMode = FALSE;
  params.olOverlap = OL_NONE;  // lossless coding uses no overlap filter
  params.cNumOfSliceMinus1H = 0;
  params.cNumOfSliceMinus1V = 0;
  params.sbSubband = SB_ALL;
  params.uAlphaMode = row->alpha ? 2 : 0;  // alpha as a separate plane
  params.uiDefaultQPIndex = 1;              // quantiser 1: lossless
  params.uiDefaultQPIndexAlpha = 1;
  return !Failed(e->SetPixelFormat(e, jxrPixelFormatGuid(row->guid))) &&
         !Failed(e->SetSize(e, static_cast<I32>(width), static_cast<I32>(height))) &&
         !Failed(e->SetResolution(e, 96.0f, 96.0f)) &&
         !Failed(e->WritePixels(e, height, const_cast<U8*>(pixels), stride)) &&
         !out->outOfMemory();
}
