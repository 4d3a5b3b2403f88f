#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/file_stamp.h"

// Paths are UTF-8 texts. Folder paths the program holds end in kPathSeparator.
inline constexpr char kPathSeparator = '/';

// True when path starts at the root of the file system.
bool isAbsolutePath(const std::string& path);

// Size in bytes of a regular file; 0 for a folder, a missing path or an empty file.
int64_t fileSize(const std::string& path);

bool pathExists(const std::string& path);
bool isFolder(const std::string& path);

// Identifies a folder independently of the path that reached it (symbolic
// links included), so a scan can visit each folder once.
struct FolderIdentity {
  uint64_t device = 0;
  uint64_t inode = 0;
  bool operator<(const FolderIdentity& other) const {
    return device != other.device ? device < other.device : inode < other.inode;
  }
};
bool folderIdentity(const std::string& path, FolderIdentity* identity);

struct FolderEntry {
  std::string name;
  bool isFolder = false;
  bool stamped = false;  // with stamps asked for: a regular file, and stamp is its fileStamp
  FileStamp stamp{};
};

// The entries of a folder except "." and "..", sorted by name. False when the
// folder cannot be read. withStamps also stamps each regular file (one stat
// by name within the folder, cheaper than by its whole path later).
bool listFolder(const std::string& folder, std::vector<FolderEntry>* entries,
                bool withStamps = false);

// Creates one folder (the parent must exist).
bool createFolder(const std::string& path);

bool removeFile(const std::string& path);

// Renames from over to, replacing an existing file at to. On failure
// *reason (when given) holds the system's text.
bool renameFile(const std::string& from, const std::string& to, std::string* reason = nullptr);

bool readWholeFile(const std::string& path, std::string* data);

// Reads at most maxBytes from the start of the file. The buffer for the
// file's size is taken once, before reading, so a large file needs its own
// size in memory and no more. A failed allocation throws std::bad_alloc.
bool readFilePrefix(const std::string& path, size_t maxBytes, std::string* data);

// Reads at most maxBytes starting at offset; fewer at the end of the file.
bool readFileRange(const std::string& path, uint64_t offset, size_t maxBytes, std::string* data);

// Reads up to maxBytes from the start of the file at path with a single read,
// for small files read by the thousand (open, read, close and nothing else).
// data holds what that read returned: a caller that gets all maxBytes must
// read the rest another way. False when the file cannot be opened or read.
bool readFileOnce(const std::string& path, size_t maxBytes, std::string* data);

// Creates or replaces the file with data.
bool writeWholeFile(const std::string& path, const std::string& data);

// Why a checked write failed.
struct WriteFailure {
  bool pathTaken = false;  // something already exists at the path
  std::string reason;      // the system's text, e.g. "No space left on device"
};

// Marks a file as being written by a live process: an advisory lock held on
// it until this is destroyed (or the process ends, however it ends), so that
// removeFileNotInUse never takes it for a leftover.
class FileInUse {
 public:
  FileInUse() = default;
  explicit FileInUse(int handle) : handle_(handle) {}
  ~FileInUse();
  FileInUse(FileInUse&& other) noexcept : handle_(other.handle_) { other.handle_ = -1; }
  FileInUse& operator=(FileInUse&& other) noexcept;
  FileInUse(const FileInUse&) = delete;
  FileInUse& operator=(const FileInUse&) = delete;

 private:
  int handle_ = -1;
};

// Creates a new file at path (never an existing one, never through a symbolic
// link; mode 0666 less the umask), writes all of data and closes it, checking
// every write and the close. On failure nothing is left at path and failure
// says why: a short write, a full disk, a file-size limit or an I/O error all
// end here instead of leaving a truncated file. Where the file system allows,
// the file has no name until it is complete (a process killed while writing
// leaves nothing behind); elsewhere it is written under path. Either way it is
// in use from its creation on: until return, or, when inUse is given, for as
// long as *inUse lives.
bool writeNewFile(const std::string& path, const std::string& data, WriteFailure* failure,
                  FileInUse* inUse = nullptr);

// Removes the regular file at path unless a live process holds it in use
// (FileInUse). True when it was removed.
bool removeFileNotInUse(const std::string& path);

// Takes the bytes of one file in order. False once a write failed; the
// writer stops then.
class ByteSink {
 public:
  virtual bool write(const void* data, size_t size) = 0;

 protected:
  ~ByteSink() = default;
};

// Hands a file's bytes to a sink, in order, as many pieces as it likes.
// False when a write failed.
using ByteSource = std::function<bool(ByteSink& sink)>;

// writeNewFile for a file whose bytes come from source: small pieces are
// gathered and written in large ones, large pieces go straight through, so
// the file never needs to exist in memory as a whole.
bool writeNewFileFrom(const std::string& path, const ByteSource& source, WriteFailure* failure,
                      FileInUse* inUse = nullptr);

// A complete file that has no name yet (writeUnnamedFile), so that the slow
// part of making an output can run anywhere and the naming later, in order.
// One never named vanishes when this is destroyed.
class UnnamedFile {
 public:
  UnnamedFile() = default;
  ~UnnamedFile();
  UnnamedFile(UnnamedFile&& other) noexcept : handle_(other.handle_), counted_(other.counted_) {
    other.handle_ = -1;
  }
  UnnamedFile& operator=(UnnamedFile&& other) noexcept;
  UnnamedFile(const UnnamedFile&) = delete;
  UnnamedFile& operator=(const UnnamedFile&) = delete;

  bool made() const { return handle_ >= 0; }

 private:
  friend bool writeUnnamedFile(const std::string& folder, const ByteSource& source,
                               UnnamedFile* file, WriteFailure* failure, bool ahead);
  friend bool nameUnnamedFile(UnnamedFile& file, const std::string& path, WriteFailure* failure,
                              FileInUse* inUse);
  friend ByteSource unnamedFileBytes(const UnnamedFile& file);
  void release();
  int handle_ = -1;      // read-only, and locked in use (FileInUse) from the start
  bool counted_ = false;  // one of the files written ahead
};

// Writes the bytes of source, checking every write and the close, into a new
// file without a name in folder, which must be where (on the file system
// where) it is to be named. False, with nothing left, when a write fails
// (failure says why), or with an empty reason when the system or the file
// system makes no unnamed files. ahead: the file is written ahead of its
// turn and will wait for its name; past a few hundred such files (each holds
// a descriptor) none is made.
bool writeUnnamedFile(const std::string& folder, const ByteSource& source, UnnamedFile* file,
                      WriteFailure* failure, bool ahead = false);

// Gives an unnamed file the name path (never an existing file's); the file is
// then in use for as long as *inUse lives (when given). Nothing changes on
// failure, which says why (pathTaken: something is at path).
bool nameUnnamedFile(UnnamedFile& file, const std::string& path, WriteFailure* failure,
                     FileInUse* inUse = nullptr);

// The bytes of an unnamed file, read back from it: to write them again
// where it cannot be named. Valid while file lives and is not named.
ByteSource unnamedFileBytes(const UnnamedFile& file);

// Last-modification time as a local date value (seconds since 1970, local time).
bool fileModifiedTime(const std::string& path, int64_t* localSeconds);

// Sets only the last-modification time; the access time stays.
bool setFileModifiedTime(const std::string& path, int64_t localSeconds);

// The text of the last system error, for messages.
std::string lastSystemError();

// One piece of a scattered read: size bytes from offset in the file, into
// destination.
struct FilePiece {
  uint64_t offset = 0;
  void* destination = nullptr;
  size_t size = 0;
};

// Reads every piece of the regular file at path into its destination, all or
// nothing: false when the file cannot be opened or read, or ends before a
// piece does (the destinations may then hold part of the data). Pieces that
// follow each other in the file are read in as few system calls as the
// system allows, so rows read straight into a bitmap's scanlines cost no
// more than reading the file into one buffer.
bool readFilePieces(const std::string& path, const std::vector<FilePiece>& pieces);
