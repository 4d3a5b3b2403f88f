#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <string>

// Reads up to maxBytes from the start of the open file fd in one pread (again
// only when a signal interrupts it), then closes fd. data holds what was
// read; false when the read failed.
inline bool readOpenFileOnce(int fd, size_t maxBytes, std::string* data) {
  data->resize(maxBytes);
  ssize_t n;
  do {
    n = pread(fd, data->data(), maxBytes, 0);
  } while (n < 0 && errno == EINTR);
  close(fd);
  data->resize(n > 0 ? static_cast<size_t>(n) : 0);
  return n >= 0;
}
