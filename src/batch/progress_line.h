#pragma once

#include <cstdint>
#include <string>

// The progress display's one line, built from a snapshot of the batch.
struct ProgressSnapshot {
  int32_t done = 0;           // files finished (converted or failed)
  int32_t total = 0;          // files in the batch
  int64_t elapsedMillis = 0;  // since the conversion began
  std::string currentName;    // name of the file being converted
};

// "3/300 files, 2.5 files/s, 1:58 left, /in/a.dds": the rate and time left
// read "--" until a file has finished. The name is escaped as the report
// prints paths (escapeForDisplay) and loses its middle ("...") so the line
// fits in columns - 1 characters (the last column would wrap on some
// terminals). Every character counts as one column.
std::string progressLine(const ProgressSnapshot& snapshot, int columns);
