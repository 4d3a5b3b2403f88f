#pragma once

#include <memory>
#include <string>
#include <vector>

#include "batch/input_outcome.h"
#include "platform/file_stamp.h"
#include "platform/open_folder.h"

// The records --skip-unchanged keeps under "<output folder>/.pellucid/": one
// file per input, named after the SHA-256 of the input's path, holding the
// input's size and modification time, the run's record key (the options that
// shape outputs and the program version) and every output it wrote with its
// size, time and SHA-256. A record is written only after the input's outputs
// are in place, through a temporary file renamed over the old record, so a
// killed run leaves either the old record or the new one, and runs writing
// records for different inputs at once never touch each other's files.
class SkipRecords {
 public:
  SkipRecords(std::string outputFolder, std::string recordKey);

  // True when input's record matches the input as it is now (its stamp, when
  // given, taken moments ago; else read now), the key, and every output
  // recorded is present with its recorded size and time; outputs then
  // receives them.
  bool upToDate(const std::string& input, const FileStamp* stamp,
                std::vector<OutputFacts>* outputs) const;

  // Records input with outputs (already in place). False when it cannot be
  // written; the next run then converts the input again.
  bool write(const std::string& input, const std::vector<OutputFacts>& outputs) const;

  // The folder holding the records.
  const std::string& folder() const { return folder_; }

 private:
  std::string recordName(const std::string& input) const;
  std::string folder_;
  std::string key_;
  // The folder as it was when the run began (not open: there were no
  // records, so nothing is up to date); records are read through it.
  std::unique_ptr<OpenFolder> reading_;
};
