#include "platform/shared_library.h"

#include <dlfcn.h>

#include <string>

SharedLibrary::SharedLibrary(const char* stem, int version) {
  const std::string name = std::string("lib") + stem + ".so." + std::to_string(version);
  handle_ = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* SharedLibrary::symbol(const char* name) const {
  return handle_ ? dlsym(handle_, name) : nullptr;
}
