#include "platform/lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

class FlockInstanceLock : public InstanceLock {
 public:
  explicit FlockInstanceLock(int fd) : fd_(fd) {}
  ~FlockInstanceLock() override { close(fd_); }

 private:
  int fd_;
};

// The per-user runtime folder; in a shared temporary folder the file name
// carries the user id, so one user's copy never refuses another user's.
std::string lockPath(const std::string& name) {
  const char* runtime = getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime) return std::string(runtime) + "/" + name + ".lock";
  const char* tmp = getenv("TMPDIR");
  std::string folder = tmp && *tmp ? tmp : "/tmp";
  return folder + "/" + name + "-" + std::to_string(getuid()) + ".lock";
}

}  // namespace

std::unique_ptr<InstanceLock> acquireInstanceLock(const std::string& name) {
  std::string path = lockPath(name);
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return nullptr;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return nullptr;
  }
  return std::make_unique<FlockInstanceLock>(fd);
}
