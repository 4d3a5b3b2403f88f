#pragma once

#include <sys/stat.h>

#include "platform/file_stamp.h"

// The stamp of a file from what stat told of it.
inline FileStamp stampOfStat(const struct stat& st) {
  FileStamp stamp;
  stamp.size = static_cast<int64_t>(st.st_size);
  stamp.modifiedNanos =
      static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + static_cast<int64_t>(st.st_mtim.tv_nsec);
  stamp.device = static_cast<uint64_t>(st.st_dev);
  stamp.inode = static_cast<uint64_t>(st.st_ino);
  return stamp;
}
