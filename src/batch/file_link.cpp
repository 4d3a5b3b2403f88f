#include "batch/file_link.h"

#include "batch/commit_output.h"
#include "batch/temp_path.h"
#include "platform/files.h"
#include "platform/hard_link.h"

bool linkOrCopy(const std::string& from, const std::string& to, bool mayLink, std::string* reason) {
  if (mayLink) {
    // Where to does not exist yet the link itself makes it, whole, in one
    // step; an old output is replaced by a link under a temporary name
    // renamed over it.
    if (linkFile(from, to, nullptr)) return true;
    const std::string temporary = temporaryPathBeside(to);
    if (linkFile(from, temporary, nullptr)) {
      if (renameFile(temporary, to, reason)) return true;
      removeFile(temporary);
    }
  }
  std::string bytes;
  if (!readWholeFile(from, &bytes)) {
    if (reason) *reason = lastSystemError();
    return false;
  }
  return commitOutput(bytes, to, reason);
}
