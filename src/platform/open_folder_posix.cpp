#include "platform/open_folder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

OpenFolder::OpenFolder(const std::string& path)
    : fd_(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}

OpenFolder::~OpenFolder() {
  if (fd_ >= 0) close(fd_);
}

bool OpenFolder::readFileOnce(const std::string& name, size_t maxBytes, std::string* data) const {
  data->clear();
  if (fd_ < 0) return false;
  const int fd = openat(fd_, name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  data->resize(maxBytes);
  ssize_t n;
  do {
    n = pread(fd, data->data(), maxBytes, 0);
  } while (n < 0 && errno == EINTR);
  close(fd);
  data->resize(n > 0 ? static_cast<size_t>(n) : 0);
  return n >= 0;
}
