#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// How one input of a run ended: the record --report writes as one JSON line
// and the library hands to its callers.
enum class InputStatus : uint8_t {
  kConverted,  // every chosen surface was written
  kFailed,     // at least one was not
  kUnchanged,  // skipped: its record says the outputs are up to date
  kDuplicate,  // the same bytes as an earlier input; outputs linked or copied
};

struct OutputFacts {
  std::string path;    // full path of the output written
  int64_t bytes = 0;
  std::string sha256;  // of the output's bytes
};

struct InputOutcome {
  std::string input;                 // full path of the input
  InputStatus status = InputStatus::kFailed;
  std::vector<OutputFacts> outputs;  // what was written (or is up to date), in surface order
  std::string error;                 // the first Error line of the input, without "Error: "
  std::string of;                    // kDuplicate: the input it repeats
};

// Called by the committer once per input, in input order, after its outputs
// are in place.
using InputOutcomeSink = std::function<void(const InputOutcome&)>;

// "converted", "failed", "unchanged" or "duplicate".
const char* inputStatusText(InputStatus status);

// The report line of outcome: input, status, outputs, error, of.
std::string outcomeJson(const InputOutcome& outcome);
