#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "batch/batch_plan.h"
#include "platform/files.h"
#include "batch/input_outcome.h"
#include "batch/input_set.h"
#include "formats/writers/encode_image.h"
#include "pipeline/convert_file.h"
#include "pipeline/file_job.h"

// One file on its way from a worker, which converts and encodes it in
// memory, to the committer, which names, writes and reports it in input order.
struct FileInWork {
  FileJob job;               // this file's values and facts
  bool converted = false;    // the chain handed back an image
  EncodedImage encoded;      // the output file's bytes when converted and encoded
  bool hasAlphaFile = false;  // --alpha=separate found alpha: a second file goes beside it
  EncodedImage alphaEncoded;  // its bytes
  std::string alphaOutputFile;  // its path, "<name>_alpha.<ext>", once named
  FileFailure failure;       // why the file failed so far (kind None: not failed)
  std::vector<std::string> chainMessages;   // library messages of load and chain
  std::vector<std::string> encodeMessages;  // library messages of the encoder
  int64_t startTime = 0;     // monotonic milliseconds when the work began
  int64_t outputBytes = 0;   // size of the encoded output, once named
  std::string outputSha256;  // its SHA-256 when the plan asks for output hashes
  int64_t alphaBytes = 0;    // the same of the alpha image, when there is one
  std::string alphaSha256;
  UnnamedFile writtenAhead;       // the output, written on the worker and waiting for its name
  UnnamedFile alphaWrittenAhead;  // the same of the alpha image
};

// Worker side: converts and encodes file.job.currentFile as file.job says
// (counter, random number); the library messages are moved into file.
void convertInWork(const BatchPlan& plan, const PipelineResources& resources, FileInWork& file);

// One input on its way: an output per chosen surface (one unless --mipmaps,
// --faces or --layers ask for more), in file order. Each surface is
// converted and encoded before the next is decoded, so only encoded files
// wait for the committer (an uncompressed one as the image it is written
// from, about its size).
struct InputInWork {
  std::vector<FileInWork> surfaces;
  bool overLimit = false;  // refused: the file claims more layers than a texture may hold
  int32_t counter = 0;     // the %n% the surfaces were converted with
  int64_t startTime = 0;   // monotonic milliseconds when the work began
  bool unchanged = false;  // not converted: its record says the outputs are up to date
  std::vector<OutputFacts> unchangedOutputs;  // ... and these are they
  int32_t duplicateOf = -1;  // not converted: the index of the earlier input of equal bytes
};

// convertInWork for every chosen surface of entry as file number counter
// (%n%), with one %rnd% of its own for all of them. writeAhead: each output
// is also written, without a name, where its name will most likely be, so
// that the thread that names the files in order (saveConverted) only links
// it in; whatever cannot be written so is written there as before.
// inputBytes, when given, are the input file's bytes, already read whole.
InputInWork convertEntry(const BatchPlan& plan, const InputEntry& entry, int32_t counter,
                         const PipelineResources& resources, bool writeAhead = false,
                         std::shared_ptr<const std::string> inputBytes = nullptr);

// Asked with the final output path just before the file is written; false
// keeps that file from being written and the conversion fails.
using OutputGate = std::function<bool(const std::string& outputPath)>;

// Committer side: names the output (job.outputFile) and, when the file is
// ready and mayWrite agrees (or is empty), writes it through the checked
// writer (job.tempOutputFile: the temporary name used); a separate alpha
// image follows the same way (alphaOutputFile). True when every output
// file was written; file.failure says why not, and job.outputFile then names
// the file that failed. A closed gate drops the
// encoder's messages: that file was never meant to be written. In a dry run
// the files are named and checked but not written (true as if they had been).
bool saveConverted(const BatchPlan& plan, FileInWork& file, const OutputGate& mayWrite = nullptr);

// The messages to print for a finished file: none when memory ran out (what a
// library said then follows from that), else those of the chain and encoder.
std::vector<std::string> messagesToReport(const FileInWork& file);

// The path of the alpha image beside output: "_alpha" before the extension
// ("out/sky_mip1.png" gives "out/sky_mip1_alpha.png"), or at the end when
// the file name has none.
std::string alphaOutputPath(const std::string& output);

// A file job for the run's first surface of an input, before conversion.
FileJob startFileJob(const BatchPlan& plan, const std::string& inputFile,
                     const std::string& subfolder, int32_t counter);

// Converts, names and writes job.currentFile on the calling thread, keeping
// the file's facts and names in job; library messages stay recorded for the
// thread. For single files and tests.
bool convertAndSaveFile(const BatchPlan& plan, FileJob& job, const PipelineResources& resources,
                        FileFailure* failure = nullptr);
