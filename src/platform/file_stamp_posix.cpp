#include "platform/file_stamp.h"

#include <sys/stat.h>

bool fileStamp(const std::string& path, FileStamp* stamp) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  stamp->size = static_cast<int64_t>(st.st_size);
  stamp->modifiedNanos =
      static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + static_cast<int64_t>(st.st_mtim.tv_nsec);
  stamp->device = static_cast<uint64_t>(st.st_dev);
  stamp->inode = static_cast<uint64_t>(st.st_ino);
  return true;
}
