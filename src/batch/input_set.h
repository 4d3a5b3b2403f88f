#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/file_stamp.h"

// One file of the input set.
struct InputEntry {
  std::string path;       // the key: the path as built or read, compared exactly
  int32_t listed = 0;     // 1 once the file has been accepted
  std::string subfolder;  // folder relative to the input folder, ending in "/", or empty
  bool stamped = false;   // stamp holds the file's size and time as it was found
  FileStamp stamp{};
};

// The files to convert, each once, visited in the order they were found.
// Two spellings of one file ("a/x.dds", "./a/x.dds") are two keys.
class InputSet {
 public:
  // The entry for path, created with listed 0 when it is new. The reference
  // stays valid until the next call.
  InputEntry& findOrCreate(const std::string& path);

  // A new entry (listed 0) for a path the caller knows is not in the set yet
  // (a scan of one folder tree meets each path once), without looking it
  // up: a large scan spends less. The reference stays valid until the next
  // call.
  InputEntry& append(const std::string& path);

  const std::vector<InputEntry>& entries() const { return entries_; }

  // Unlists (listed 0) every listed entry keep rejects. Returns the number
  // of entries still listed.
  int32_t keepListedIf(const std::function<bool(const InputEntry&)>& keep);

  void clear();

 private:
  std::vector<InputEntry> entries_;
  std::unordered_map<std::string, size_t> indexByPath_;  // of entries_ up to indexed_
  size_t indexed_ = 0;  // entries from here on were appended, not yet in the index
};
