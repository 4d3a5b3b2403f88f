#pragma once

#include <cstdint>
#include <string>

#include "formats/dds/dds_surfaces.h"
#include "pipeline/file_job.h"

// Which surface tokens stand for their value: only those whose kind a run
// exports (--mipmaps, --faces, --layers); otherwise they are plain text, so a
// run without those options names and draws as before they existed. The
// record that chooses the surfaces decides it, so the two never disagree.
using SurfaceTokens = DdsSurfaceChoice;

// The values the tokens of a filename mask and of a watermark text show.
struct NameTokenValues {
  std::string inputFile;  // "%filename%": its name without folder and last extension
  std::string extension;  // "%ext%": the output extension
  int32_t bpp = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t frame = 0;
  int32_t randomNumber = 0;
  int32_t counter = 1;
  DdsSurfaceId surface;
  SurfaceTokens surfaceTokens;
  bool severalMips = false;
  bool severalFaces = false;
  bool severalLayers = false;
};

// The token values of a file as far as the chain has got.
NameTokenValues tokenValuesOf(const FileJob& file, const std::string& extension,
                              const SurfaceTokens& surfaceTokens);

// The name without its last extension ("a.b.dds" gives "a.b").
std::string stripExtension(const std::string& name);

// Output file name from a filename mask as typed (empty: "%filename%.%ext%").
std::string expandFilenameMask(const std::string& mask, const NameTokenValues& values);

// A watermark text with its tokens expanded; literal text keeps its letter case.
std::string expandWatermarkText(const std::string& text, const NameTokenValues& values);
