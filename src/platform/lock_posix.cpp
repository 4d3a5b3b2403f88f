#include "platform/lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>

namespace {

class FlockInstanceLock : public InstanceLock {
 public:
  explicit FlockInstanceLock(int fd) : fd_(fd) {}
  ~FlockInstanceLock() override { close(fd_); }

 private:
  int fd_;
};

std::string runtimeFolder() {
  const char* runtime = getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime) return runtime;
  const char* tmp = getenv("TMPDIR");
  if (tmp && *tmp) return tmp;
  return "/tmp";
}

}  // namespace

std::unique_ptr<InstanceLock> acquireInstanceLock(const std::string& name) {
  std::string path = runtimeFolder() + "/" + name + ".lock";
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return nullptr;
  }
  return std::make_unique<FlockInstanceLock>(fd);
}
