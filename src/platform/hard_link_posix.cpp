#include "platform/hard_link.h"

#include <unistd.h>

#include "platform/files.h"

bool linkFile(const std::string& from, const std::string& to, std::string* reason) {
  if (link(from.c_str(), to.c_str()) == 0) return true;
  if (reason) *reason = lastSystemError();
  return false;
}
