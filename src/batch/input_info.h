#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/dds/dds_surfaces.h"

// What a DDS input file holds, read from its header alone (no pixel is
// decoded) plus the SHA-256 of the whole file: the facts --info prints, a
// sidecar repeats and the library hands to its callers.
struct InputInfo {
  std::string path;         // as given to inspectInput (the console escapes it)
  int64_t bytes = 0;        // file size
  std::string format;       // "BC7_UNORM_SRGB", "DXT1", "A8R8G8B8", ... (see ddsFormatName)
  bool dx10 = false;        // the header has the DX10 extension
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t depth = 1;       // depth slices of a volume texture; 1 otherwise
  uint32_t mips = 1;        // mip levels stored
  uint32_t faces = 0;       // cube faces present; 0 when not a cube map
  uint32_t layers = 1;      // array elements; 1 when not an array
  bool srgb = false;        // colour is sRGB-encoded (a DXGI *_SRGB format)
  std::string alpha = "none";  // "none", "straight" or "premultiplied"
  bool normalMap = false;   // the normal-map flag, or a BC5/ATI2 format
  std::string sha256;       // of the whole file; empty when it cannot be read
  std::string error;        // why the file cannot be decoded; empty when it can
};

// The facts of the file at path (UTF-8). Never fails: a file that cannot be
// read or decoded gets the fields its header allows and an error text.
InputInfo inspectInput(const std::string& path);

// The record as one JSON object on one line, keys in the documented order:
// path, bytes, format, dx10, width, height, depth, mips, faces, layers, srgb,
// alpha, normal_map, sha256, error.
std::string infoJson(const InputInfo& info);

class JsonObject;
// The same keys appended to an object under construction (for sidecars).
void addInfoFields(const InputInfo& info, JsonObject& object);

// The sidecar of one output: the source's facts, then "mip", "face" (null, or
// "posx".."negz" for a face of a cube map), "layer" and "options" (the long
// options that shaped the output).
std::string sidecarJson(const InputInfo& info, const DdsSurfaceId& surface,
                        const std::vector<std::string>& options);

class InputSet;
class Console;
// Prints infoJson of every listed input of inputs, in input order, one line
// each; the inputs are inspected on threads workers side by side (as
// --threads: 0 is one per available core). Returns the number of inputs that
// can be decoded.
int32_t printInputInfo(const InputSet& inputs, Console& console, int32_t threads);
