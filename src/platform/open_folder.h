#pragma once

#include <cstddef>
#include <string>

#include "platform/file_stamp.h"

// A folder held open, so files in it are reached by name without walking the
// folder's whole path again for each of thousands of them.
class OpenFolder {
 public:
  // Not open when path cannot be opened as a folder.
  explicit OpenFolder(const std::string& path);
  ~OpenFolder();
  OpenFolder(const OpenFolder&) = delete;
  OpenFolder& operator=(const OpenFolder&) = delete;

  bool isOpen() const { return fd_ >= 0; }

  // readFileOnce (platform/files.h) of the file called name in the folder.
  bool readFileOnce(const std::string& name, size_t maxBytes, std::string* data) const;

  // fileStamp (platform/file_stamp.h) of the file at path, relative to the
  // folder (an absolute path is taken as it is).
  bool fileStamp(const char* path, FileStamp* stamp) const;
  bool fileStamp(const std::string& path, FileStamp* stamp) const { return fileStamp(path.c_str(), stamp); }

 private:
  int fd_ = -1;
};
