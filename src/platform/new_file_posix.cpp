#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/files.h"

namespace {

std::string errorText(int code) {
  char buffer[256];
  return strerror_r(code, buffer, sizeof(buffer));
}

int writeEverything(int fd, const std::string& data) {
  const char* p = data.data();
  size_t left = data.size();
  while (left > 0) {
    ssize_t n = write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n == 0 ? ENOSPC : errno;
    p += n;
    left -= static_cast<size_t>(n);
  }
  return 0;
}

std::string folderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string procPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// Takes the lock that marks the file as in use; a lock that cannot be had
// (a file system without locks) leaves the file unmarked, not unwritten.
void markInUse(int fd) {
  while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
  }
}

bool fail(WriteFailure* failure, int code, int fd = -1, int held = -1) {
  failure->pathTaken = code == EEXIST;
  failure->reason = errorText(code);
  if (fd >= 0) close(fd);
  if (held >= 0) close(held);
  return false;
}

// Hands the lock on held over to inUse (or drops it).
bool finish(int held, FileInUse* inUse) {
  if (inUse) {
    *inUse = FileInUse(held);
  } else {
    close(held);
  }
  return true;
}

enum class Unnamed { Written, Failed, NotPossible };

// The file is created without a name (O_TMPFILE) and linked in at path once
// it is written and closed; a second handle keeps it alive and locked in
// between. NotPossible: the file system or the system cannot do this (no
// O_TMPFILE, no /proc), and a named file is written instead; any real
// failure shows again there.
Unnamed writeUnnamed(const std::string& path, const std::string& data, WriteFailure* failure,
                     FileInUse* inUse) {
  const int fd = open(folderOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) return Unnamed::NotPossible;
  const int held = open(procPath(fd).c_str(), O_RDONLY | O_CLOEXEC);
  if (held < 0) {
    close(fd);
    return Unnamed::NotPossible;
  }
  markInUse(held);
  if (const int error = writeEverything(fd, data); error != 0) {
    fail(failure, error, fd, held);
    return Unnamed::Failed;
  }
  if (close(fd) != 0) {
    fail(failure, errno, -1, held);
    return Unnamed::Failed;
  }
  if (linkat(AT_FDCWD, procPath(held).c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) != 0) {
    // A name already taken is the caller's to handle; a link the system
    // refuses leaves the named way.
    const int error = errno;
    fail(failure, error, -1, held);
    return error == EEXIST ? Unnamed::Failed : Unnamed::NotPossible;
  }
  finish(held, inUse);
  return Unnamed::Written;
}

bool writeNamed(const std::string& path, const std::string& data, WriteFailure* failure,
                FileInUse* inUse) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return fail(failure, errno);
  const int held = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (held >= 0) markInUse(held);
  if (const int error = writeEverything(fd, data); error != 0) {
    unlink(path.c_str());
    return fail(failure, error, fd, held);
  }
  if (close(fd) != 0) {
    const int error = errno;
    unlink(path.c_str());
    return fail(failure, error, -1, held);
  }
  return held >= 0 ? finish(held, inUse) : true;
}

}  // namespace

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

bool writeNewFile(const std::string& path, const std::string& data, WriteFailure* failure,
                  FileInUse* inUse) {
  *failure = WriteFailure{};
  switch (writeUnnamed(path, data, failure, inUse)) {
    case Unnamed::Written: return true;
    case Unnamed::Failed: return false;
    case Unnamed::NotPossible: break;
  }
  *failure = WriteFailure{};
  return writeNamed(path, data, failure, inUse);
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
