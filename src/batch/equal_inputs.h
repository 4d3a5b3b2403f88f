#pragma once

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

// Which inputs of a run repeat an earlier one byte for byte (--dedupe). The
// answer for an input is the first input of the run with the same bytes,
// whatever order the workers finish in, so it is the same for any number of
// threads.
//
// The work is spread over the workers, each answering for the input it
// takes: sizes are taken once, up front; an input whose size another shares
// gets a fingerprint from a few small pieces spread over the file (from all
// of a small file), and only inputs of equal size and fingerprint are
// compared, byte for byte. A large first input is so read only in part (its
// conversion reads it anyway), and a repeat is read once beside the input
// it repeats. A small input is read once, whole: its fingerprint, its
// comparison and (when it is new) its conversion use those bytes. Equality
// never rests on a hash.
class EqualInputs {
 public:
  // sizes holds each input's size where already known (-1: not known, taken
  // here).
  EqualInputs(std::vector<std::string> paths, std::vector<int64_t> sizes);

  // The index of the first input whose bytes equal those of input index
  // (index itself when none comes before it). Unless an equal one is found
  // among the inputs whose fingerprints are all known, waits until every
  // earlier input has its fingerprint; workers take indices in increasing
  // order, so each of those is in the hands of a worker that takes the
  // fingerprint before anything else. Every index must be asked for once, by
  // whichever thread takes it.
  // bytes (when given) receives the input's bytes when it is new and small
  // enough to have been read whole, for its conversion to use.
  int32_t firstOf(int32_t index, std::shared_ptr<const std::string>* bytes = nullptr);

  // Instead of firstOf for an input that is not converted at all (up to
  // date): later inputs may still repeat it. Does not wait.
  void note(int32_t index);

 private:
  using Key = std::pair<int64_t, uint64_t>;  // size, fingerprint
  // whole receives the input's bytes when it was small enough to be read
  // whole for its fingerprint.
  bool keyOf(int32_t index, Key* key, std::string* whole) const;
  void publish(int32_t index, const Key* key);

  std::vector<std::string> paths_;
  std::vector<int64_t> sizes_;
  std::vector<uint8_t> sizeShared_;  // by index: another input has its size
  std::mutex mutex_;
  std::condition_variable published_;
  std::vector<uint8_t> done_;        // by index: its fingerprint is in groups_ (or it has none)
  int32_t donePrefix_ = 0;           // every index below it is done
  std::map<Key, std::vector<int32_t>> groups_;  // the inputs of each size and fingerprint
};
