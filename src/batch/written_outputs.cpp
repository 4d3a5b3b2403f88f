#include "batch/written_outputs.h"

const std::string* WrittenOutputs::writerOf(const std::string& output) const {
  const auto found = inputByOutput_.find(output);
  return found == inputByOutput_.end() ? nullptr : found->second;
}

void WrittenOutputs::record(const std::string& output, const std::string& input) {
  inputByOutput_.emplace(output, &input);
}
