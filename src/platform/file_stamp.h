#pragma once

#include <cstdint>
#include <string>

// What tells one version of a file from another without reading it: its
// size, last-modification time (nanoseconds since 1970, UTC) and the
// device and inode it lives at (a replaced file gets a new inode).
struct FileStamp {
  int64_t size = 0;
  int64_t modifiedNanos = 0;
  uint64_t device = 0;
  uint64_t inode = 0;

  bool operator==(const FileStamp&) const = default;
};

// The stamp of the regular file at path; false when there is none.
bool fileStamp(const std::string& path, FileStamp* stamp);
