#include "batch/input_set.h"

InputEntry& InputSet::findOrCreate(const std::string& path) {
  for (; indexed_ < entries_.size(); ++indexed_) indexByPath_.try_emplace(entries_[indexed_].path, indexed_);
  auto [slot, inserted] = indexByPath_.try_emplace(path, entries_.size());
  if (inserted) {
    entries_.push_back(InputEntry{path, 0, std::string()});
    indexed_ = entries_.size();
  }
  return entries_[slot->second];
}

InputEntry& InputSet::append(const std::string& path) {
  entries_.push_back(InputEntry{path, 0, std::string()});
  return entries_.back();
}

void InputSet::clear() {
  entries_.clear();
  indexByPath_.clear();
  indexed_ = 0;
}

int32_t InputSet::keepListedIf(const std::function<bool(const InputEntry&)>& keep) {
  int32_t kept = 0;
  for (InputEntry& entry : entries_) {
    if (entry.listed != 1) continue;
    if (keep(entry)) {
      ++kept;
    } else {
      entry.listed = 0;
    }
  }
  return kept;
}
