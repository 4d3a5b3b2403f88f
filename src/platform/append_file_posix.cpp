#include "platform/append_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files.h"

AppendFile::~AppendFile() {
  if (fd_ >= 0) close(fd_);
}

bool AppendFile::open(const std::string& path, std::string* reason) {
  if (fd_ >= 0) close(fd_);
  fd_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd_ < 0 && reason) *reason = lastSystemError();
  return fd_ >= 0;
}

bool AppendFile::append(const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t wrote = write(fd_, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<size_t>(wrote);
  }
  return true;
}
