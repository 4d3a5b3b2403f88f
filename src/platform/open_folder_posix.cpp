#include "platform/open_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/read_once_posix.h"
#include "platform/stat_stamp_posix.h"

OpenFolder::OpenFolder(const std::string& path)
    : fd_(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}

OpenFolder::~OpenFolder() {
  if (fd_ >= 0) close(fd_);
}

bool OpenFolder::readFileOnce(const std::string& name, size_t maxBytes, std::string* data) const {
  data->clear();
  if (fd_ < 0) return false;
  const int fd = openat(fd_, name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  return fd >= 0 && readOpenFileOnce(fd, maxBytes, data);
}

bool OpenFolder::fileStamp(const char* path, FileStamp* stamp) const {
  struct stat st {};
  if (fd_ < 0 || fstatat(fd_, path, &st, 0) != 0 || !S_ISREG(st.st_mode)) return false;
  *stamp = stampOfStat(st);
  return true;
}
