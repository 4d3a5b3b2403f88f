#pragma once

#include <string>
#include <unordered_map>

// The outputs one run has written, each with the input it came from. A later
// input whose output path is already here is not written: it would silently
// replace a file of the same run. Paths compare as exact strings, the final
// path after naming; files that existed before the run are not recorded and
// are replaced as usual.
class WrittenOutputs {
 public:
  // The input that wrote output in this run, or nullptr.
  const std::string* writerOf(const std::string& output) const;

  // input is kept by address: it must outlive this record (the run's
  // input list does).
  void record(const std::string& output, const std::string& input);

  // Room for outputs records without growing.
  void reserve(size_t outputs) { inputByOutput_.reserve(outputs); }

 private:
  std::unordered_map<std::string, const std::string*> inputByOutput_;
};
