#include <dlfcn.h>
#include <unistd.h>

#include <atomic>

#include "platform/interrupt.h"
#include "platform/shared_library.h"

namespace {

// dlerror's text belongs to the thread and the last failed call: read at once.
std::string lastLoaderError() {
  const char* text = dlerror();
  return text ? text : "unknown error";
}

}  // namespace

SharedLibrary::SharedLibrary(const char* stem, int version)
    : file_(std::string("lib") + stem + ".so." + std::to_string(version)) {
  handle_ = dlopen(file_.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) error_ = lastLoaderError();
}

void* SharedLibrary::symbol(const char* name) const {
  return handle_ ? dlsym(handle_, name) : nullptr;
}

void* SharedLibrary::require(const char* name) const {
  std::string reason = error_;
  if (handle_) {
    dlerror();
    if (void* address = dlsym(handle_, name)) return address;
    reason = lastLoaderError();
  }
  // Workers meeting the fault at once: one line, one end.
  static std::atomic<bool> ending{false};
  if (ending.exchange(true)) {
    for (;;) pause();
  }
  // Written straight to the descriptor, as the console does, so the line
  // stands whole even while other threads print theirs.
  const std::string line = "Error: Unable to load " + file_ + ": " + reason + "\r\n";
  for (size_t done = 0; done < line.size();) {
    const ssize_t n = write(STDOUT_FILENO, line.data() + done, line.size() - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  endProcessAfterCleanup(1);
}
