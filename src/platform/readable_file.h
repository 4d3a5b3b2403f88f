#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/files.h"

// A regular file held open for reading, for a reader that takes several
// parts of one file: one open and one size for all of them, where a call per
// part (readFileRange, readFilePieces) opens and measures the file each time.
class ReadableFile {
 public:
  // Opened without blocking (a named pipe in its place must not wait for a
  // writer); anything but a regular file is not open.
  explicit ReadableFile(const std::string& path);
  ~ReadableFile();
  ReadableFile(const ReadableFile&) = delete;
  ReadableFile& operator=(const ReadableFile&) = delete;

  bool isOpen() const { return fd_ >= 0; }

  // The size it had when opened.
  uint64_t size() const { return size_; }

  // As readFileRange (platform/files.h): at most maxBytes from offset, fewer
  // at the end of the file, which may have grown since it was opened.
  bool readRange(uint64_t offset, size_t maxBytes, std::string* data) const;

  // As readFilePieces (platform/files.h).
  bool readPieces(const std::vector<FilePiece>& pieces) const;

  // All of size bytes from offset into into; false on an error or an early end.
  bool read(uint64_t offset, void* into, size_t size) const;

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
};
