#pragma once

#include <string>

// A file opened for appending (created when missing). Each append hands the
// whole text to the system in one write where it can, so a reader, or a
// run killed between two appends, sees whole pieces.
class AppendFile {
 public:
  AppendFile() = default;
  ~AppendFile();
  AppendFile(const AppendFile&) = delete;
  AppendFile& operator=(const AppendFile&) = delete;

  // False with *reason (the system's text) when the file cannot be opened.
  bool open(const std::string& path, std::string* reason);
  bool isOpen() const { return fd_ >= 0; }
  bool append(const std::string& text);

 private:
  int fd_ = -1;
};
