#include "support/default_report.h"

std::vector<std::string> defaultReportOfEmptyBmpRun(const std::string& input,
                                                    const std::string& output) {
  return {
      "Preparing...",
      "Input: " + input,
      "Output: " + output,
      "Conversion: bmp",
      "DDS Load As: auto",
      "BMP BPP: 0",
      "BMP Compression: none",
      "BMP Color Table: auto",
      "Flip Horizontal: 0",
      "Flip Vertical: 0",
      "Greyscale: 0",
      "Frame: none",
      "Watermark: none",
      "Filename Mask: %filename%.%ext%",
      "File Timestamp: current",
      "Keep Subfolders: 1",
      "Importing...",
      "Import complete, new files added: 0",
      "Conversion stopped",
      "No input file(s) found. Please, add valid file(s) and try again!",
  };
}
