#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
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
//
// A run also leaves a pack: one file holding a copy of every record that
// was good at its end, named after the key and the run's inputs (folder or
// list, and shard), so the same command run again reads one file instead of
// one per input. An entry of the pack is checked against the files exactly
// as a record is, so an old or foreign pack can only cost time: an input it
// does not vouch for is looked up in its own record.
class SkipRecords {
 public:
  // runInputs names what the run converts (its input and shard), which
  // together with recordKey picks the pack. Reads the pack.
  SkipRecords(std::string outputFolder, std::string recordKey, const std::string& runInputs);
  SkipRecords(const SkipRecords&) = delete;
  SkipRecords& operator=(const SkipRecords&) = delete;

  // Before the first check: the run has inputCount inputs, known by their
  // index from 0.
  void forInputs(int32_t inputCount);

  // True when the record of input (the run's input index) matches the input
  // as it is now (its stamp, when given, taken moments ago; else read now),
  // the key, and every output recorded is present with its recorded size
  // and time; outputs then receives them. Inputs of different indices may
  // be checked at once.
  bool upToDate(int32_t index, const std::string& input, const FileStamp* stamp,
                std::vector<OutputFacts>* outputs) const;

  // Records input with outputs (already in place). False when it cannot be
  // written; the next run then converts the input again.
  bool write(int32_t index, const std::string& input, const std::vector<OutputFacts>& outputs);

  // Replaces the pack with the records found good or written by this run,
  // in input order, unless they are the ones it read. Call once the run's
  // records are done.
  void writePack() const;

  // The folder holding the records.
  const std::string& folder() const { return folder_; }

 private:
  std::string recordName(const std::string& input) const;
  // The pack's record of input, or an empty view.
  std::string_view packedRecord(int32_t index, const std::string& hexInput) const;

  std::string outputFolder_;
  std::string folder_;
  std::string key_;
  std::string packName_;
  std::string packText_;                     // the pack as read; views below point into it
  std::vector<std::string_view> packOrder_;  // its records in the order written
  // Its records by the hex of their input's path, made when an input is
  // not where it was in the last run.
  mutable std::once_flag byInputMade_;
  mutable std::unordered_map<std::string_view, std::string_view> byInput_;
  // By input index: the pack's record found good, or the record read or
  // written by this run; each slot is set by one thread only.
  mutable std::vector<std::string_view> keptFromPack_;
  mutable std::vector<std::string> keptNew_;
  // The folder as it was when the run began (not open: there were no
  // records, so nothing is up to date); records are read through it.
  std::unique_ptr<OpenFolder> reading_;
  std::unique_ptr<OpenFolder> outputs_;  // the output folder, where it was there
};
