#include "batch/file_conversion.h"

#include <new>
#include <utility>

#include "batch/output_naming.h"
#include "formats/library_messages.h"
#include "pipeline/commit_output.h"
#include "platform/clock.h"
#include "platform/memory.h"

namespace {

using Kind = FileFailure::Kind;

void append(std::vector<std::string>& to, std::vector<std::string> more) {
  for (std::string& message : more) to.push_back(std::move(message));
}

// The encoder's part of a worker's job; the image is released as soon as
// its bytes exist.
void encodeInWork(const ConversionSettings& settings, Bitmap image, FileInWork& file) {
  file.encoded = encodeImage(image.get(), saveTargetFor(settings, file.job));
  image.reset();
  file.encodeMessages = takeLibraryMessages();
  if (file.encoded.outOfMemory || (!file.encoded.ok && outOfMemoryMarked())) {
    file.failure = FileFailure{Kind::OutOfMemory, ""};
  } else if (!file.encoded.ok || !file.encodeMessages.empty()) {
    file.failure = FileFailure{Kind::NotConverted, ""};
  }
}

}  // namespace

void convertInWork(const ConversionSettings& settings, const PipelineResources& resources,
                   FileInWork& file) {
  // Running out of memory anywhere (a failed allocation throws std::bad_alloc
  // in our own code) fails this file only.
  try {
    Bitmap image = convertFile(settings, file.job, resources, &file.failure);
    file.chainMessages = takeLibraryMessages();
    file.converted = image != nullptr;
    if (file.converted) encodeInWork(settings, std::move(image), file);
  } catch (const std::bad_alloc&) {
    file.failure = FileFailure{Kind::OutOfMemory, ""};
    file.encoded = EncodedImage{};
    append(file.chainMessages, takeLibraryMessages());
  }
}

FileInWork convertEntry(const ConversionSettings& settings, const ConversionJob& runJob,
                        const InputEntry& entry, int32_t counter,
                        const PipelineResources& resources) {
  FileInWork file;
  file.startTime = monotonicMillis();
  file.job = runJob;
  file.job.currentFile = entry.path;
  file.job.currentSubfolder = entry.subfolder;
  file.job.fileCounter = counter;
  file.job.randomNumber = randomInteger(1, 99999);
  convertInWork(settings, resources, file);
  return file;
}

bool saveConverted(const ConversionSettings& settings, FileInWork& file,
                   const OutputGate& mayWrite) {
  file.job.outputFile = makeOutputPath(settings, file.job);
  file.job.tempOutputFile.clear();
  if (!file.converted) return false;
  if (mayWrite && !mayWrite(file.job.outputFile)) {
    file.encodeMessages.clear();
    file.failure = FileFailure{Kind::NotConverted, ""};
    return false;
  }
  if (file.failure.kind != Kind::None) return false;
  std::string reason;
  const bool written =
      commitOutput(file.encoded.bytes, file.job.outputFile, &reason, &file.job.tempOutputFile);
  file.encoded = EncodedImage{};
  if (!written) file.failure = FileFailure{Kind::WriteFailed, reason};
  return written;
}

std::vector<std::string> messagesToReport(const FileInWork& file) {
  if (file.failure.kind == Kind::OutOfMemory) return {};
  std::vector<std::string> messages = file.chainMessages;
  messages.insert(messages.end(), file.encodeMessages.begin(), file.encodeMessages.end());
  return messages;
}

bool convertAndSaveFile(const ConversionSettings& settings, ConversionJob& job,
                        const PipelineResources& resources, FileFailure* failure) {
  FileInWork file;
  file.job = job;
  convertInWork(settings, resources, file);
  const bool saved = saveConverted(settings, file);
  job = file.job;
  for (const std::string& message : messagesToReport(file)) recordLibraryMessage(message);
  if (failure) *failure = file.failure;
  return saved;
}
