#include "batch/equal_inputs.h"

#include <algorithm>
#include <functional>
#include <string_view>

#include "platform/file_compare.h"
#include "platform/files.h"

namespace {

// The fingerprint reads kPieces pieces of kPieceBytes spread evenly over the
// file, first and last included; a file of up to kWholeBytes is read whole,
// which costs less than reading it in pieces.
constexpr size_t kPieces = 4;
constexpr size_t kPieceBytes = 2048;
constexpr size_t kWholeBytes = 64 << 10;

// Inputs of one fingerprint compared with an input before it is taken as new:
// a crowd of different files that share one would otherwise cost a
// comparison with each. Past it a repeat is converted again, with the same
// bytes as a result.
constexpr size_t kMostComparisons = 8;

// The pieces' offsets in a file of total bytes: spread evenly, first and
// last included.
uint64_t pieceOffset(uint64_t total, size_t piece) {
  return piece * ((total - kPieceBytes) / (kPieces - 1));
}

bool fingerprint(const std::string& path, int64_t size, uint64_t* print, std::string* whole) {
  const uint64_t total = static_cast<uint64_t>(size);
  std::string pieces(kPieces * kPieceBytes, '\0');
  if (total <= kWholeBytes) {
    std::string bytes;
    if (!readWholeFile(path, &bytes) || bytes.size() != total) return false;
    // Hashing takes the same pieces as from a large file: hashing all of it
    // would cost more than reading it.
    if (total <= kPieces * kPieceBytes) {
      pieces = bytes;
    } else {
      for (size_t i = 0; i < kPieces; ++i) {
        bytes.copy(&pieces[i * kPieceBytes], kPieceBytes, pieceOffset(total, i));
      }
    }
    *whole = std::move(bytes);
  } else {
    std::vector<FilePiece> wanted;
    for (size_t i = 0; i < kPieces; ++i) {
      wanted.push_back({pieceOffset(total, i), &pieces[i * kPieceBytes], kPieceBytes});
    }
    if (!readFilePieces(path, wanted)) return false;
  }
  *print = std::hash<std::string_view>{}(pieces);
  return true;
}

}  // namespace

EqualInputs::EqualInputs(std::vector<std::string> paths, std::vector<int64_t> sizes)
    : paths_(std::move(paths)), sizes_(std::move(sizes)), sizeShared_(paths_.size(), 0),
      done_(paths_.size(), 0) {
  sizes_.resize(paths_.size(), -1);
  std::map<int64_t, int32_t> counts;
  for (size_t i = 0; i < paths_.size(); ++i) {
    if (sizes_[i] < 0) sizes_[i] = fileSize(paths_[i]);
    counts[sizes_[i]] += 1;
  }
  for (size_t i = 0; i < sizes_.size(); ++i) sizeShared_[i] = counts[sizes_[i]] > 1 ? 1 : 0;
}

bool EqualInputs::keyOf(int32_t index, Key* key, std::string* whole) const {
  const size_t at = static_cast<size_t>(index);
  // Only an input whose size another input shares can repeat one; an empty
  // or unreadable file repeats nothing.
  *key = Key{sizes_[at], 0};
  if (key->first <= 0 || sizeShared_[at] == 0) return false;
  try {
    return fingerprint(paths_[at], key->first, &key->second, whole);
  } catch (...) {
    return false;  // out of memory: this input is taken as new
  }
}

void EqualInputs::note(int32_t index) {
  Key key;
  std::string whole;
  const bool keyed = keyOf(index, &key, &whole);
  publish(index, keyed ? &key : nullptr);
}

int32_t EqualInputs::firstOf(int32_t index, std::shared_ptr<const std::string>* bytes) {
  const size_t at = static_cast<size_t>(index);
  Key key;
  std::string whole;  // a small input, read whole for its fingerprint
  const bool keyed = keyOf(index, &key, &whole);
  publish(index, keyed ? &key : nullptr);
  // A new input hands its bytes on, when it has them (out of memory, its
  // conversion reads the file).
  const auto isNew = [&] {
    if (bytes && !whole.empty()) {
      try {
        *bytes = std::make_shared<const std::string>(std::move(whole));
      } catch (...) {
      }
    }
    return index;
  };
  if (!keyed) return index;
  const auto equal = [&](int32_t other) {
    const std::string& path = paths_[static_cast<size_t>(other)];
    return whole.empty() ? sameFileBytes(path, paths_[at]) : fileHoldsBytes(path, whole);
  };
  // The answer is the first of the earlier inputs of this key, taken in
  // order and at most kMostComparisons of them, whose bytes are equal. Those
  // below the published prefix are known without waiting: when one of them
  // is equal, no input still being fingerprinted can come before it. Only
  // otherwise are the inputs still in the other workers' hands waited for.
  size_t compared = 0;
  int32_t from = 0;  // the earlier inputs below it have been looked at
  for (bool wait = false;; wait = true) {
    std::vector<int32_t> members;
    int32_t upTo = 0;
    {
      std::unique_lock<std::mutex> hold(mutex_);
      if (wait) published_.wait(hold, [&] { return donePrefix_ >= index; });
      upTo = std::min(donePrefix_, index);
      const auto group = groups_.find(key);
      if (group != groups_.end()) {
        for (const int32_t other : group->second) {
          if (other >= from && other < upTo) members.push_back(other);
        }
      }
    }
    std::sort(members.begin(), members.end());
    for (const int32_t other : members) {
      if (compared == kMostComparisons) return isNew();
      ++compared;
      if (equal(other)) return other;
    }
    if (upTo >= index) return isNew();
    from = upTo;
  }
}

void EqualInputs::publish(int32_t index, const Key* key) {
  std::lock_guard<std::mutex> hold(mutex_);
  if (key) {
    try {
      groups_[*key].push_back(index);
    } catch (...) {
      // Out of memory: later inputs will not find this one.
    }
  }
  done_[static_cast<size_t>(index)] = 1;
  while (donePrefix_ < static_cast<int32_t>(done_.size()) &&
         done_[static_cast<size_t>(donePrefix_)] != 0) {
    ++donePrefix_;
  }
  published_.notify_all();
}
