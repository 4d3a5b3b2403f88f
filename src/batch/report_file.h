#pragma once

#include <string>

#include "batch/input_outcome.h"
#include "platform/append_file.h"

// The --report file: one JSON line per input, appended as each input is
// finished (one write per line), so a run that is killed leaves only whole
// lines. Several runs may append to one file.
class ReportFile {
 public:
  // Opens path for appending (creating it); false with *reason on failure.
  bool open(const std::string& path, std::string* reason) { return file_.open(path, reason); }
  bool isOpen() const { return file_.isOpen(); }
  void write(const InputOutcome& outcome) { file_.append(outcomeJson(outcome) + "\n"); }

 private:
  AppendFile file_;
};
