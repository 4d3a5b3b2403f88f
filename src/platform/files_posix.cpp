#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <utility>
#include <memory>
#include <new>

#include "platform/clock.h"
#include "platform/readable_file.h"
#include "platform/read_once_posix.h"
#include "platform/stat_stamp_posix.h"

namespace {

// The GNU strerror_r: safe when several threads report at once.
std::string systemErrorText(int code) {
  char buffer[256];
  return strerror_r(code, buffer, sizeof(buffer));
}

}  // namespace

bool isAbsolutePath(const std::string& path) { return !path.empty() && path[0] == '/'; }

int64_t fileSize(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  return static_cast<int64_t>(st.st_size);
}

bool pathExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

bool isFolder(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool folderIdentity(const std::string& path, FolderIdentity* identity) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  identity->device = static_cast<uint64_t>(st.st_dev);
  identity->inode = static_cast<uint64_t>(st.st_ino);
  return true;
}

bool listFolder(const std::string& folder, std::vector<FolderEntry>* entries, bool withStamps) {
  entries->clear();
  DIR* dir = opendir(folder.c_str());
  if (!dir) return false;
  std::string base = folder;
  if (!base.empty() && base.back() != '/') base += '/';
  while (struct dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    FolderEntry item;
    item.name = name;
    // The entry's type saves a stat where the file system gives it; a link
    // (or an unknown type) is asked about what it points to.
    struct stat st {};
    if (withStamps && entry->d_type != DT_DIR && fstatat(dirfd(dir), entry->d_name, &st, 0) == 0) {
      item.isFolder = S_ISDIR(st.st_mode);
      item.stamped = S_ISREG(st.st_mode);
      if (item.stamped) item.stamp = stampOfStat(st);
    } else if (entry->d_type == DT_DIR || entry->d_type == DT_REG) {
      item.isFolder = entry->d_type == DT_DIR;
    } else {
      item.isFolder = isFolder(base + name);
    }
    entries->push_back(std::move(item));
  }
  closedir(dir);
  std::sort(entries->begin(), entries->end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  return true;
}

bool createFolder(const std::string& path) { return mkdir(path.c_str(), 0777) == 0; }

bool removeFile(const std::string& path) { return unlink(path.c_str()) == 0; }

bool renameFile(const std::string& from, const std::string& to, std::string* reason) {
  if (rename(from.c_str(), to.c_str()) == 0) return true;
  if (reason) *reason = lastSystemError();
  return false;
}

bool readFilePrefix(const std::string& path, size_t maxBytes, std::string* data) {
  return readFileRange(path, 0, maxBytes, data);
}

bool readFileRange(const std::string& path, uint64_t offset, size_t maxBytes, std::string* data) {
  data->clear();
  const ReadableFile file(path);
  return file.isOpen() && file.readRange(offset, maxBytes, data);
}

bool readFilePieces(const std::string& path, const std::vector<FilePiece>& pieces) {
  const ReadableFile file(path);
  return file.isOpen() && file.readPieces(pieces);
}

bool readFileOnce(const std::string& path, size_t maxBytes, std::string* data) {
  data->clear();
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);  // as readFileRange
  return fd >= 0 && readOpenFileOnce(fd, maxBytes, data);
}

bool readWholeFile(const std::string& path, std::string* data) {
  return readFilePrefix(path, static_cast<size_t>(-1), data);
}

namespace {

// Writes all of data to fd. Returns 0, or the errno of the failed write; a
// write that takes nothing without an error counts as a full device.
int writeAll(int fd, const char* p, size_t left) {
  while (left > 0) {
    ssize_t n = write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n == 0 ? ENOSPC : errno;
    p += n;
    left -= static_cast<size_t>(n);
  }
  return 0;
}

int writeAll(int fd, const std::string& data) { return writeAll(fd, data.data(), data.size()); }

// A sink onto an open file: pieces below the buffer's size are gathered,
// larger ones are written as they are. The first failed write ends all
// writing; error() is its errno.
class FileSink final : public ByteSink {
 public:
  explicit FileSink(int fd) : fd_(fd), buffer_(new (std::nothrow) char[kBufferSize]) {}

  bool write(const void* data, size_t size) override {
    if (error_ != 0) return false;
    const char* bytes = static_cast<const char*>(data);
    if (buffer_ && used_ + size <= kBufferSize) {
      std::memcpy(buffer_.get() + used_, bytes, size);
      used_ += size;
      return true;
    }
    if (!flush()) return false;
    if (buffer_ && size < kBufferSize) return write(data, size);
    error_ = writeAll(fd_, bytes, size);
    return error_ == 0;
  }

  bool flush() {
    if (error_ == 0 && used_ > 0) error_ = writeAll(fd_, buffer_.get(), used_);
    used_ = 0;
    return error_ == 0;
  }

  int error() const { return error_; }

 private:
  static constexpr size_t kBufferSize = size_t{1} << 18;
  int fd_;
  std::unique_ptr<char[]> buffer_;  // none when memory ran out: every piece goes straight through
  size_t used_ = 0;
  int error_ = 0;
};

std::string procPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// Takes the lock that marks a file as in use (FileInUse).
void markInUse(int fd) {
  while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
  }
}

int openNewFile(const std::string& path, WriteFailure* failure) {
  *failure = WriteFailure{};
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) {
    failure->pathTaken = errno == EEXIST;
    failure->reason = lastSystemError();
  }
  return fd;
}

}  // namespace

bool writeWholeFile(const std::string& path, const std::string& data) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  if (writeAll(fd, data) != 0) {
    close(fd);
    return false;
  }
  return close(fd) == 0;
}

bool writeNewFile(const std::string& path, const std::string& data, WriteFailure* failure,
                  FileInUse* inUse) {
  return writeNewFileFrom(
      path, [&](ByteSink& sink) { return sink.write(data.data(), data.size()); }, failure, inUse);
}

namespace {

// Unnamed files waiting for their names hold a descriptor each; past this
// many, files are written where they are named.
constexpr int kMostUnnamedFiles = 256;
std::atomic<int> unnamedFiles{0};

std::string folderOfPath(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// Writes all of source to fd and closes it; false (closed) with the reason.
bool writeAndClose(int fd, const ByteSource& source, std::string* reason) {
  FileSink sink(fd);
  const bool produced = source(sink);
  if (!sink.flush() || !produced) {
    const int error = sink.error();
    close(fd);
    *reason = error != 0 ? systemErrorText(error) : "The file could not be made";
    return false;
  }
  if (close(fd) != 0) {
    *reason = lastSystemError();
    return false;
  }
  return true;
}

}  // namespace

void UnnamedFile::release() {
  if (handle_ >= 0) close(handle_);
  if (handle_ >= 0 && counted_) unnamedFiles.fetch_sub(1);
  handle_ = -1;
  counted_ = false;
}

UnnamedFile::~UnnamedFile() { release(); }

UnnamedFile& UnnamedFile::operator=(UnnamedFile&& other) noexcept {
  if (this != &other) {
    release();
    handle_ = other.handle_;
    counted_ = other.counted_;
    other.handle_ = -1;
  }
  return *this;
}

bool writeUnnamedFile(const std::string& folder, const ByteSource& source, UnnamedFile* file,
                      WriteFailure* failure, bool ahead) {
  *failure = WriteFailure{};
  file->release();
  if (ahead && unnamedFiles.fetch_add(1) >= kMostUnnamedFiles) {
    unnamedFiles.fetch_sub(1);
    return false;
  }
  const int fd = open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  const int held = fd >= 0 ? open(procPath(fd).c_str(), O_RDONLY | O_CLOEXEC) : -1;
  if (held < 0) {
    if (fd >= 0) close(fd);
    if (ahead) unnamedFiles.fetch_sub(1);
    return false;
  }
  markInUse(held);
  file->handle_ = held;
  file->counted_ = ahead;
  if (writeAndClose(fd, source, &failure->reason)) return true;
  file->release();
  return false;
}

bool nameUnnamedFile(UnnamedFile& file, const std::string& path, WriteFailure* failure,
                     FileInUse* inUse) {
  *failure = WriteFailure{};
  if (linkat(AT_FDCWD, procPath(file.handle_).c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) != 0) {
    const int error = errno;
    failure->reason = systemErrorText(error);
    failure->pathTaken = error == EEXIST;
    return false;
  }
  if (inUse) {
    *inUse = FileInUse(file.handle_);
    if (file.counted_) unnamedFiles.fetch_sub(1);
    file.handle_ = -1;
    file.counted_ = false;
  }
  file.release();
  return true;
}

ByteSource unnamedFileBytes(const UnnamedFile& file) {
  const int handle = file.handle_;
  // The file it was made for: a descriptor closed meanwhile and given to
  // another file reads nothing.
  struct stat made {};
  if (handle < 0 || fstat(handle, &made) != 0) return [](ByteSink&) { return false; };
  return [handle, device = made.st_dev, inode = made.st_ino](ByteSink& sink) {
    struct stat now {};
    if (fstat(handle, &now) != 0 || now.st_dev != device || now.st_ino != inode) return false;
    constexpr size_t kPiece = size_t{1} << 20;
    const std::unique_ptr<char[]> piece = std::make_unique_for_overwrite<char[]>(kPiece);
    for (off_t offset = 0;;) {
      const ssize_t got = pread(handle, piece.get(), kPiece, offset);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return false;
      if (got == 0) return true;
      if (!sink.write(piece.get(), static_cast<size_t>(got))) return false;
      offset += got;
    }
  };
}

bool writeNewFileFrom(const std::string& path, const ByteSource& source, WriteFailure* failure,
                      FileInUse* inUse) {
  // Where the file system allows, the file has no name until it is complete
  // (a process killed while writing leaves nothing).
  UnnamedFile unnamed;
  if (writeUnnamedFile(folderOfPath(path), source, &unnamed, failure)) {
    return nameUnnamedFile(unnamed, path, failure, inUse);
  }
  if (!failure->reason.empty()) return false;
  const int fd = openNewFile(path, failure);
  if (fd < 0) return false;
  const int held = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (held >= 0) markInUse(held);
  if (!writeAndClose(fd, source, &failure->reason)) {
    unlink(path.c_str());
    if (held >= 0) close(held);
    return false;
  }
  if (held >= 0 && inUse) {
    *inUse = FileInUse(held);
  } else if (held >= 0) {
    close(held);
  }
  return true;
}

bool fileModifiedTime(const std::string& path, int64_t* localSeconds) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return false;
  *localSeconds = utcToLocalSeconds(static_cast<int64_t>(st.st_mtim.tv_sec));
  return true;
}

bool setFileModifiedTime(const std::string& path, int64_t localSeconds) {
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;  // access time stays
  times[1].tv_sec = static_cast<time_t>(localToUtcSeconds(localSeconds));
  times[1].tv_nsec = 0;
  return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

std::string lastSystemError() { return systemErrorText(errno); }
