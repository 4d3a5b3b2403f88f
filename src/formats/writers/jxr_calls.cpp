// The JPEG XR libraries (jxrglue and the codec it sits on), opened when a run
// first needs them (platform/lazy_call.h).
#include "formats/writers/jxr_calls.h"

#include "platform/lazy_call.h"

namespace {

const SharedLibrary& jxrGlueLibrary() {
  static const SharedLibrary library("jxrglue", 0);
  return library;
}

const SharedLibrary& jpegXrLibrary() {
  static const SharedLibrary library("jpegxr", 0);
  return library;
}

}  // namespace

const PKPixelFormatGUID& jxrPixelFormatGuid(const char* symbol) {
  return *jxrGlueLibrary().require<const PKPixelFormatGUID*>(symbol);
}

PELLUCID_LAZY_CALL(jxrGlueLibrary(), ERR, PKCreateFactory, PKFactory**, U32)
PELLUCID_LAZY_CALL(jxrGlueLibrary(), ERR, PKImageDecode_Create_WMP, PKImageDecode**)
PELLUCID_LAZY_CALL(jxrGlueLibrary(), ERR, PKImageEncode_Create_WMP, PKImageEncode**)
PELLUCID_LAZY_CALL(jpegXrLibrary(), ERR, CreateWS_Memory, struct WMPStream**, void*, size_t)
