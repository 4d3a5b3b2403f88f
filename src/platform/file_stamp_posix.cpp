#include "platform/file_stamp.h"

#include <sys/stat.h>

#include "platform/stat_stamp_posix.h"

bool fileStamp(const std::string& path, FileStamp* stamp) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  *stamp = stampOfStat(st);
  return true;
}
