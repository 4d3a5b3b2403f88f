#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "batch/file_times.h"
#include "batch/output_naming.h"
#include "formats/dds/dds_surfaces.h"
#include "formats/writers/encode_image.h"
#include "pipeline/chain_plan.h"
#include "pipeline/drawing/watermark_font.h"

// Everything the batch needs to convert, name, save and report the files of
// a run, made once by the run plan before the first file.
struct BatchPlan {
  ChainPlan chain;
  SaveTarget save;                   // exactPalette is decided per file, below
  bool exactPaletteAt8Bits = false;  // an 8-bit bmp gets a table of its used colours only
  NamingRule naming;
  FileTimePolicy fileTimes;
  DdsSurfaceChoice surfaces;        // which surfaces of each input become files
  int32_t threadCount = 1;          // workers side by side; 0: one per available core
  bool verifyOutputs = false;       // encoded bytes are decoded again and compared before writing
  bool debugLines = false;          // per-file "Processing:" and result lines
  int32_t firstCounter = 1;         // "%n%" of the first file converted
  bool counterInWatermark = false;  // the watermark text shows "%n%"
  FontRequest watermarkFont;        // each further worker makes its own from this

  // --- Pipelines: none of these changes the bytes of an output
  bool hashOutputs = false;    // each output's SHA-256 goes into its input's outcome (--report)
  bool dryRun = false;         // name and announce the outputs; write nothing, create no folder
  bool sidecars = false;       // "<output>.json" beside each output: its source's facts
  bool dedupe = false;         // inputs of equal bytes are converted once, the rest linked
  bool skipUnchanged = false;  // inputs whose record is up to date are not converted again
  std::string recordKey;       // everything that shapes the outputs: options, version
  std::vector<std::string> outputOptions;  // the long options that shape the outputs
};
