#pragma once

#include <string>

#include "pipeline/file_job.h"
#include "pipeline/name_tokens.h"

// How a run names its outputs.
struct NamingRule {
  std::string outputFolder;    // ends in "/"
  std::string mask;            // the filename mask as typed
  bool keepSubfolders = true;  // mirror input subfolders under the output folder
  std::string extension;       // the output extension, "%ext%"
  SurfaceTokens surfaceTokens;
};

// outputFolder + the file's subfolder (when kept) + the expanded mask.
std::string makeOutputPath(const NamingRule& rule, const FileJob& file);
