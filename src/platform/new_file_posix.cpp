#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files.h"

FileInUse::~FileInUse() {
  if (handle_ >= 0) close(handle_);
}

FileInUse& FileInUse::operator=(FileInUse&& other) noexcept {
  if (this != &other) {
    if (handle_ >= 0) close(handle_);
    handle_ = other.handle_;
    other.handle_ = -1;
  }
  return *this;
}

bool removeFileNotInUse(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat opened {};
  struct stat named {};
  // Removed only while this process holds the lock itself, and only when the
  // name still leads to the file that was locked.
  const bool removable = fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
                         flock(fd, LOCK_EX | LOCK_NB) == 0 && lstat(path.c_str(), &named) == 0 &&
                         named.st_dev == opened.st_dev && named.st_ino == opened.st_ino;
  const bool removed = removable && unlink(path.c_str()) == 0;
  close(fd);
  return removed;
}
