#pragma once

#include <cstdint>
#include <string>

#include "formats/dds/dds_surfaces.h"

// The run itself: what the command line named, the values the preparation pass
// derives once per run, and the values of the one file being converted.
//
// The pipeline never reads a global job: each step is handed the job it works
// for, so a worker that converts several files at once gives each its own copy.
struct ConversionJob {
  // --- Named on the command line, completed by the preparation pass
  std::string workingFolder;  // current directory at reset, ending in "/": relative paths start here
  std::string inputPath;      // file, list file or folder as typed; emptied when it names a file
  std::string outputFolder;   // ends in "/" once validated
  std::string conversion;     // output extension, "bmp" when not given
  uint8_t consoleMode = 0;    // 1 once -i/--input has been given
  std::string debugMode;      // "DEBUG" turns on the report and per-file lines

  // --- Derived once per run by the preparation pass
  int32_t outputFormatCode = 0;  // FreeImage format, or DevIL type for psd/dds/pcx
  int32_t saveFlags = 0;         // FreeImage save flags of the chosen format
  uint8_t autoBpp = 0;           // 1 when the format's depth option is 0
  int32_t requestedBpp = 0;      // depth option; per file the chosen depth when autoBpp
  int32_t threadCount = 1;       // workers converting side by side (from --threads)
  int32_t shardIndex = 1;        // --shard K/N: this run converts part shardIndex (1..N)
  int32_t shardCount = 1;        //   of shardCount parts of the input set

  // --- The file being converted (written by the worker and convertFile only)
  std::string currentFile;       // full path of the input file
  std::string currentSubfolder;  // folder relative to the input folder, ending in "/", or empty
  std::string outputFile;        // full path of the file written
  std::string tempOutputFile;    // temporary path the writers save to before renaming
  int32_t randomNumber = 0;      // "%rnd%": 1..99999, drawn for each file
  int32_t fileCounter = 1;       // "%n%": advanced after each success
  int32_t sourceBpp = 0;         // depth as loaded
  int32_t imageWidth = 0;        // "%width%": size about to be saved
  int32_t imageHeight = 0;       // "%height%"
  int32_t frameIndex = 0;        // "%frame%": always 1 for a converted file

  // --- The surface of the current file being converted (see --mipmaps, --faces, --layers)
  DdsSurfaceId surface;          // "%mip%", "%face%", "%layer%"; the default is the first surface
  uint8_t severalMips = 0;       // 1 when more than one mip level of the file is exported
  uint8_t severalFaces = 0;      // ... more than one cube face
  uint8_t severalLayers = 0;     // ... more than one array element or depth slice
};

// Restores the initial values: workingFolder from the platform, a fresh random
// number, fileCounter 1, everything else empty or zero.
void resetJob(ConversionJob& job);
