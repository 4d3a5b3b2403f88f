#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "formats/output_formats.h"

// What the program knows about file formats: the output formats -c accepts,
// and every input extension with its format key. Built once, read-only after.

struct InputFormat {
  std::string extension;  // lower case, the table key
  std::string formatKey;  // main extension of the format
  std::string description;
};

struct FormatTables {
  std::vector<std::string> outputExtensions;  // in -c order, "bmp" first
  std::vector<OutputFormat> outputFormats;    // in the order they were added
  std::vector<std::string> inputFormatList;   // formats this program reads: "dds"
  std::vector<InputFormat> inputFormats;      // 79 entries
};

// The default input extension list of the help text.
inline const std::vector<std::string> kDefaultInputExtensions = {"dds"};

FormatTables buildFormatTables();

// The tables of this program, built on first use.
const FormatTables& formatTables();

// Extensions of the input table whose format key is in the input format list,
// in table order ("dds").
std::vector<std::string> buildAcceptedInputExtensions(const FormatTables& tables);

// nullptr when extension is not an output format (exact, case-sensitive).
const OutputFormat* findOutputFormat(std::string_view extension);
const InputFormat* findInputFormat(std::string_view extension);

bool isOutputExtension(std::string_view extension);

// 0 is always allowed; otherwise bpp must be in the format's depth list (at
// most the first 127 entries are read).
bool isBppAllowed(std::string_view extension, int32_t bpp);

// The depth list as numbers.
std::vector<int32_t> allowedDepths(std::string_view extension);
