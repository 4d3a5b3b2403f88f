#include "platform/lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

class FlockInstanceLock : public InstanceLock {
 public:
  explicit FlockInstanceLock(int fd) : fd_(fd) {}
  ~FlockInstanceLock() override { close(fd_); }

 private:
  int fd_;
};

std::string systemError(const std::string& what, int number) {
  return what + ": " + std::strerror(number);
}

// A folder only this user can write to: a real folder (not a link), owned by
// the user, with no write permission for group or others.
bool isPrivateFolder(const std::string& folder, std::string* error) {
  struct stat info {};
  if (lstat(folder.c_str(), &info) != 0) {
    *error = systemError(folder, errno);
    return false;
  }
  if (!S_ISDIR(info.st_mode) || info.st_uid != geteuid() || (info.st_mode & (S_IWGRP | S_IWOTH))) {
    *error = folder + ": not a private folder of this user";
    return false;
  }
  return true;
}

// $XDG_RUNTIME_DIR when it names a private folder of this user.
std::string runtimeFolder() {
  const char* runtime = getenv("XDG_RUNTIME_DIR");
  if (runtime == nullptr || *runtime == '\0') return std::string();
  std::string folder = runtime;
  std::string ignored;
  return isPrivateFolder(folder, &ignored) ? folder : std::string();
}

// The fallback below the temporary folder, created on first use. mkdir's
// 0700 is only a wish under a umask and a name someone else may have taken
// first, so the folder is checked after it exists.
std::string fallbackFolder(std::string* error) {
  const char* tmp = getenv("TMPDIR");
  std::string base = tmp != nullptr && *tmp == '/' ? tmp : "/tmp";
  if (base.back() != '/') base += '/';
  std::string folder = base + "pellucidcmd-" + std::to_string(geteuid());
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    *error = systemError(folder, errno);
    return std::string();
  }
  return isPrivateFolder(folder, error) ? folder : std::string();
}

int openLockFile(const std::string& path, std::string* error) {
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) *error = systemError(path, errno);
  return fd;
}

int lockFile(int fd, int operation) {
  int result;
  do {
    result = flock(fd, operation);
  } while (result != 0 && errno == EINTR);
  return result == 0 ? 0 : errno;
}

}  // namespace

std::unique_ptr<InstanceLock> acquireInstanceLock(const std::string& name,
                                                  const std::function<void()>& onWait,
                                                  std::string* error,
                                                  LockMode mode) {
  const std::string fileName = "/" + name + ".lock";
  int fd = -1;
  std::string folder = runtimeFolder();
  if (!folder.empty()) fd = openLockFile(folder + fileName, error);
  if (fd < 0) {
    folder = fallbackFolder(error);
    if (folder.empty()) return nullptr;
    fd = openLockFile(folder + fileName, error);
    if (fd < 0) return nullptr;
  }
  const int operation = mode == LockMode::kShared ? LOCK_SH : LOCK_EX;
  int failure = lockFile(fd, operation | LOCK_NB);
  if (failure == EWOULDBLOCK) {
    if (onWait) onWait();
    failure = lockFile(fd, operation);
  }
  if (failure != 0) {
    *error = systemError(folder + fileName, failure);
    close(fd);
    return nullptr;
  }
  return std::make_unique<FlockInstanceLock>(fd);
}
