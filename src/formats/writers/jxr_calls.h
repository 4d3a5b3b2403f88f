#pragma once

// JXRGlue.h defines min and max as macros, which break standard headers
// included after it.
#include <string>

extern "C" {
#include <JXRGlue.h>
}

// The JPEG XR libraries are opened when a run first needs them (see
// jxr_calls.cpp). Their functions keep their own names; their pixel-format
// GUIDs are data, which cannot be forwarded like a function, so each is
// taken by its symbol name ("GUID_PKPixelFormat24bppRGB") at first use.
const PKPixelFormatGUID& jxrPixelFormatGuid(const char* symbol);
