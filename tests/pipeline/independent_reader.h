#pragma once

#include <string>
#include <vector>

#include "support/dds_builder.h"

// Opens files with programs that share no code with this one (ImageMagick,
// NVIDIA Texture Tools), so tests can judge what the program wrote or read.

// Runs a shell command; returns its exit status and fills output with its
// standard output (standard error is dropped).
int runCommand(const std::string& command, std::string* output = nullptr);

// Quotes a path for the shell.
std::string shellQuote(const std::string& text);

struct DecodedImage {
  int width = 0;
  int height = 0;
  std::vector<Rgba> pixels;  // row-major, top row first
  const Rgba& at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Decodes any file ImageMagick reads into 8-bit RGBA. "format:" prefixes
// (e.g. "dds:") may be part of path.
bool decodeWithImageMagick(const std::string& path, DecodedImage* image);

// Decodes a DDS file with nvdecompress (which honours the channel masks).
bool decodeWithNvdecompress(const std::string& path, DecodedImage* image);

// Decodes a JPEG XR file with JxrDecApp (to TIFF, read by ImageMagick).
bool decodeWithJxrDecApp(const std::string& path, DecodedImage* image);

// Decodes a file with OpenImageIO's oiiotool (to PNG, read by ImageMagick);
// used for OpenEXR, which ImageMagick cannot read here, and TGA.
bool decodeWithOiio(const std::string& path, DecodedImage* image);

// Decodes a file of any output format with a reader independent of this
// program, chosen by its extension.
bool decodeIndependently(const std::string& path, DecodedImage* image);

// The channel description and depth by an independent reader: "srgb 8",
// "srgba 8", "gray 1", ... (ImageMagick's "%[channels] %z"; for .exr and .jxr
// the converted file's).
std::string describeIndependently(const std::string& path);

// ImageMagick's identify: "%w %h %z %[channels]" and the like.
std::string identifyText(const std::string& path, const std::string& format);

// The largest difference of any channel between two decoded images of equal
// size; -1 when their sizes differ.
int largestChannelDifference(const DecodedImage& a, const DecodedImage& b);
