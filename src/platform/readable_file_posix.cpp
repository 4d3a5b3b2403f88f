#include "platform/readable_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

namespace {

// Offsets stay where off_t is positive.
constexpr uint64_t kLastOffset = uint64_t{1} << 62;

// Reads the whole run of buffers from offset on, resuming after short reads.
bool readRun(int fd, uint64_t offset, iovec* run, size_t count) {
  while (count > 0) {
    const ssize_t n = preadv(fd, run, static_cast<int>(std::min<size_t>(count, IOV_MAX)),
                             static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;  // an error, or the file ends first
    offset += static_cast<uint64_t>(n);
    size_t done = static_cast<size_t>(n);
    while (count > 0 && done >= run->iov_len) {
      done -= run->iov_len;
      ++run;
      --count;
    }
    if (done > 0) {
      run->iov_base = static_cast<char*>(run->iov_base) + done;
      run->iov_len -= done;
    }
  }
  return true;
}

}  // namespace

ReadableFile::ReadableFile(const std::string& path)
    : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {
  struct stat st {};
  if (fd_ >= 0 && (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))) {
    close(fd_);
    fd_ = -1;
  }
  if (fd_ >= 0) size_ = static_cast<uint64_t>(st.st_size);
}

ReadableFile::~ReadableFile() {
  if (fd_ >= 0) close(fd_);
}

bool ReadableFile::readRange(uint64_t offset, size_t maxBytes, std::string* data) const {
  data->clear();
  if (fd_ < 0 || offset > kLastOffset) return false;
  // The known size is taken in one piece; growing by appends would briefly
  // need two or three times the file. A file that grows meanwhile still
  // reads to its end (or maxBytes), by doubling.
  size_t capacity = static_cast<size_t>(std::min<uint64_t>(maxBytes, size_ > offset ? size_ - offset : 0));
  size_t filled = 0;
  const auto failed = [data] {
    data->clear();
    return false;
  };
  data->resize(capacity);  // a failed allocation throws std::bad_alloc
  while (filled < maxBytes) {
    if (filled == capacity && filled > 0 && capacity == size_ - offset) {
      // The file read to its known end: one byte tells whether it grew
      // meanwhile, without making room for more first.
      char probe = 0;
      const ssize_t n = pread(fd_, &probe, 1, static_cast<off_t>(offset + filled));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return failed();
      if (n == 0) break;
      capacity = std::min(maxBytes, std::max<size_t>(65536, capacity * 2));
      data->resize(capacity);
      (*data)[filled++] = probe;
      continue;
    }
    if (filled == capacity) {
      capacity = std::min(maxBytes, std::max<size_t>(65536, capacity * 2));
      data->resize(capacity);
    }
    const ssize_t n = pread(fd_, data->data() + filled, capacity - filled,
                           static_cast<off_t>(offset + filled));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return failed();
    if (n == 0) break;
    filled += static_cast<size_t>(n);
  }
  data->resize(filled);
  return true;
}

bool ReadableFile::read(uint64_t offset, void* into, size_t size) const {
  iovec piece{into, size};
  return fd_ >= 0 && offset <= kLastOffset && size <= kLastOffset - offset &&
         (size == 0 || readRun(fd_, offset, &piece, 1));
}

bool ReadableFile::readPieces(const std::vector<FilePiece>& pieces) const {
  if (fd_ < 0) return false;
  std::vector<iovec> run;
  for (size_t i = 0; i < pieces.size();) {
    // Pieces that follow each other in the file make one run; empty ones
    // are left out (a run of only empty buffers would read as the end).
    const uint64_t start = pieces[i].offset;
    uint64_t end = start;
    run.clear();
    for (; i < pieces.size() && pieces[i].offset == end; ++i) {
      if (pieces[i].size == 0) continue;
      run.push_back({pieces[i].destination, pieces[i].size});
      end += pieces[i].size;
    }
    if (end < start || end > kLastOffset || !readRun(fd_, start, run.data(), run.size())) return false;
  }
  return true;
}
