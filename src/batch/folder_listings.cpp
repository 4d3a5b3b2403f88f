#include "batch/folder_listings.h"

#include <system_error>
#include <utility>

FolderListings::FolderListings(int32_t threads) {
  for (int32_t i = 0; i < threads; ++i) {
    try {
      threads_.emplace_back([this] { listAhead(); });
    } catch (const std::system_error&) {
      break;  // fewer threads list ahead; a folder nobody lists is listed when taken
    }
  }
}

FolderListings::~FolderListings() {
  {
    std::lock_guard<std::mutex> hold(mutex_);
    stopping_ = true;
    queue_.clear();
  }
  asked_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void FolderListings::ask(const std::string& folder) {
  if (threads_.empty()) return;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    if (!listings_.try_emplace(folder).second) return;
    queue_.push_back(folder);
  }
  asked_.notify_one();
}

bool FolderListings::take(const std::string& folder, std::vector<FolderEntry>* entries) {
  std::unique_lock<std::mutex> hold(mutex_);
  const auto found = listings_.find(folder);
  // Not asked for, or still waiting in the queue: listed here and now (a
  // thread that meets it in the queue later passes it by).
  if (found == listings_.end() || !found->second.started) {
    if (found != listings_.end()) listings_.erase(found);
    hold.unlock();
    return listFolder(folder, entries, true);
  }
  listed_.wait(hold, [&] { return found->second.done; });
  const bool ok = found->second.ok;
  *entries = std::move(found->second.entries);
  listings_.erase(found);
  return ok;
}

void FolderListings::listAhead() {
  std::unique_lock<std::mutex> hold(mutex_);
  for (;;) {
    asked_.wait(hold, [&] { return stopping_ || !queue_.empty(); });
    if (stopping_) return;
    const std::string folder = std::move(queue_.front());
    queue_.pop_front();
    const auto found = listings_.find(folder);
    if (found == listings_.end() || found->second.started) continue;
    found->second.started = true;
    hold.unlock();
    std::vector<FolderEntry> entries;
    const bool ok = listFolder(folder, &entries, true);
    hold.lock();
    // Still there: a started listing is waited for, never dropped.
    found->second.ok = ok;
    found->second.entries = std::move(entries);
    found->second.done = true;
    listed_.notify_all();
  }
}
