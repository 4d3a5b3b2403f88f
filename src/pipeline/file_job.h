#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "formats/dds/dds_surfaces.h"

// One output file of a run: the input and surface it comes from, the values
// its name and watermark text show, and what the chain finds out on the way.
// Every file has its own, so workers converting side by side share none.
struct FileJob {
  std::string currentFile;       // full path of the input file
  // The input file's bytes when they were already read whole (else it is
  // read from currentFile); let go once converted.
  std::shared_ptr<const std::string> inputBytes;
  std::string currentSubfolder;  // folder relative to the input folder, ending in "/", or empty
  std::string outputFile;        // full path of the file written
  std::string tempOutputFile;    // temporary path the file was written to before the rename
  int32_t randomNumber = 0;      // "%rnd%": 1..99999, drawn for each input
  int32_t fileCounter = 1;       // "%n%"
  DdsSurfaceId surface;          // "%mip%", "%face%", "%layer%"
  bool severalMips = false;      // more than one mip level of the input is exported
  bool severalFaces = false;     // ... more than one cube face
  bool severalLayers = false;    // ... more than one array element or depth slice

  // --- Found by the chain
  int32_t sourceBpp = 0;    // depth as loaded
  int32_t imageWidth = 0;   // "%width%": size about to be saved
  int32_t imageHeight = 0;  // "%height%"
  int32_t frameIndex = 0;   // "%frame%": 1 once converted
  bool holdsData = false;   // the pixels are data (BC4, BC5, R8, R8G8, normal maps), not colour
  // "%bpp%": the depth setting (0 automatic); after the depth step, the depth saved.
  int32_t requestedBpp = 0;
};
