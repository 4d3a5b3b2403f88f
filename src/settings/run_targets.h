#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "batch/input_enumeration.h"
#include "batch/shard.h"

// The command line as the preparation pass checked and resolved it: folders
// exist and end in "/", the output extension is known, the run's split is
// parsed. The run plan is made from these and the settings.
struct RunTargets {
  InputSource input;         // the folder (ending in "/"), or the one file or list file
  std::string outputFolder;  // ends in "/"
  std::string conversion;    // output extension
  int32_t threadCount = 1;   // workers side by side; 0: one per available core
  Shard shard;               // the part of the input set this run converts
  bool debugLines = false;   // per-file "Processing:" and result lines
  std::vector<std::string> outputOptions;  // the long options that shape the outputs
  std::string recordKey;     // what a skip record must match besides the input
};
