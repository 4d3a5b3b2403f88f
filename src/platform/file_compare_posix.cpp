#include "platform/file_compare.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace {

constexpr size_t kPieceBytes = size_t{256} << 10;

// Owns one open descriptor of a regular file.
class OpenFile {
 public:
  explicit OpenFile(const std::string& path)
      : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {  // a FIFO must not hang
    struct stat st {};
    if (fd_ >= 0 && fstat(fd_, &st) == 0 && S_ISREG(st.st_mode)) size_ = st.st_size;
  }
  ~OpenFile() {
    if (fd_ >= 0) close(fd_);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;

  // -1 when the file is not open or not a regular file.
  off_t size() const { return size_; }

  // Fills size bytes from offset; false on a read error or an early end.
  bool read(off_t offset, uint8_t* into, size_t size) const {
    while (size > 0) {
      const ssize_t got = pread(fd_, into, size, offset);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;
      into += got;
      offset += got;
      size -= static_cast<size_t>(got);
    }
    return true;
  }

 private:
  int fd_;
  off_t size_ = -1;
};

}  // namespace

bool sameFileBytes(const std::string& a, const std::string& b) {
  const OpenFile first(a);
  const OpenFile second(b);
  if (first.size() < 0 || first.size() != second.size()) return false;
  // Left uninitialised: every byte compared is read first.
  const std::unique_ptr<uint8_t[]> left = std::make_unique_for_overwrite<uint8_t[]>(kPieceBytes);
  const std::unique_ptr<uint8_t[]> right = std::make_unique_for_overwrite<uint8_t[]>(kPieceBytes);
  for (off_t offset = 0; offset < first.size();) {
    const size_t size = static_cast<size_t>(std::min<off_t>(first.size() - offset, kPieceBytes));
    if (!first.read(offset, left.get(), size) || !second.read(offset, right.get(), size) ||
        std::memcmp(left.get(), right.get(), size) != 0) {
      return false;
    }
    offset += static_cast<off_t>(size);
  }
  return true;
}

bool fileHoldsBytes(const std::string& path, std::string_view bytes) {
  const OpenFile file(path);
  if (file.size() < 0 || static_cast<uint64_t>(file.size()) != bytes.size()) return false;
  const size_t buffer = std::min(bytes.size(), kPieceBytes);
  const std::unique_ptr<uint8_t[]> read = std::make_unique_for_overwrite<uint8_t[]>(buffer);
  for (size_t offset = 0; offset < bytes.size();) {
    const size_t size = std::min(bytes.size() - offset, kPieceBytes);
    if (!file.read(static_cast<off_t>(offset), read.get(), size) ||
        std::memcmp(read.get(), bytes.data() + offset, size) != 0) {
      return false;
    }
    offset += size;
  }
  return true;
}
