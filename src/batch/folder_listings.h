#pragma once

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/files.h"

// Listings of folders (with stamps) made ahead of a scan that walks them in
// order: the scan asks for the subfolders it has just found, a few threads
// list them meanwhile, and the scan takes each listing when it gets there.
// The scan itself stays in order on its own thread, so what it finds and in
// which order is the same as listing each folder when reached.
class FolderListings {
 public:
  // threads: how many list ahead; none lists each folder when taken.
  explicit FolderListings(int32_t threads);
  // Listings not yet made are dropped; those being made are waited for.
  ~FolderListings();
  FolderListings(const FolderListings&) = delete;
  FolderListings& operator=(const FolderListings&) = delete;

  // folder will be taken later.
  void ask(const std::string& folder);

  // The listing of folder as listFolder(folder, entries, true) gives it:
  // the one made ahead when asked for, else made now.
  bool take(const std::string& folder, std::vector<FolderEntry>* entries);

 private:
  struct Listing {
    bool started = false;  // a thread took it from the queue
    bool done = false;
    bool ok = false;
    std::vector<FolderEntry> entries;
  };
  void listAhead();

  std::mutex mutex_;
  std::condition_variable asked_;
  std::condition_variable listed_;
  std::deque<std::string> queue_;
  std::map<std::string, Listing> listings_;  // asked for and not yet taken
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};
