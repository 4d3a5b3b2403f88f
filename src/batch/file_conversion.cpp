#include "batch/file_conversion.h"

#include <new>
#include <utility>

#include "batch/output_naming.h"
#include "batch/surface_selection.h"
#include "formats/library_messages.h"
#include "formats/writers/verify_output.h"
#include "pipeline/commit_output.h"
#include "platform/clock.h"
#include "platform/memory.h"

namespace {

using Kind = FileFailure::Kind;

void append(std::vector<std::string>& to, std::vector<std::string> more) {
  for (std::string& message : more) to.push_back(std::move(message));
}

// The save target of a converted file: an exact palette only at 8 bits.
SaveTarget saveTargetOf(const BatchPlan& plan, const FileJob& file) {
  SaveTarget target = plan.save;
  target.exactPalette = plan.exactPaletteAt8Bits && file.requestedBpp == 8;
  return target;
}

// The encoder's part of a worker's job; the image is released as soon as
// its bytes exist.
void encodeInWork(const BatchPlan& plan, Bitmap image, FileInWork& file) {
  const SaveTarget target = saveTargetOf(plan, file.job);
  file.encoded = encodeImage(image.get(), target);
  file.encodeMessages = takeLibraryMessages();
  if (file.encoded.outOfMemory || (!file.encoded.ok && outOfMemoryMarked())) {
    file.failure = FileFailure{Kind::OutOfMemory, ""};
  } else if (!file.encoded.ok || !file.encodeMessages.empty()) {
    file.failure = FileFailure{Kind::NotConverted, ""};
  } else if (plan.verifyOutputs) {
    // Checked here, on the worker, while the encoded image is still at hand;
    // a file that fails is never written, so the old output stays.
    std::string reason;
    if (!verifyEncodedImage(image.get(), target, file.encoded.bytes, &reason)) {
      file.failure = FileFailure{Kind::VerifyFailed, reason};
      file.encoded = EncodedImage{};
    }
  }
}

}  // namespace

void convertInWork(const BatchPlan& plan, const PipelineResources& resources, FileInWork& file) {
  // Running out of memory anywhere (a failed allocation throws std::bad_alloc
  // in our own code) fails this file only.
  try {
    Bitmap image = convertFile(plan.chain, file.job, resources, &file.failure);
    file.chainMessages = takeLibraryMessages();
    file.converted = image != nullptr;
    if (file.converted) encodeInWork(plan, std::move(image), file);
  } catch (const std::bad_alloc&) {
    file.failure = FileFailure{Kind::OutOfMemory, ""};
    file.encoded = EncodedImage{};
    append(file.chainMessages, takeLibraryMessages());
  }
}

FileJob startFileJob(const BatchPlan& plan, const std::string& inputFile,
                     const std::string& subfolder, int32_t counter) {
  FileJob job;
  job.currentFile = inputFile;
  job.currentSubfolder = subfolder;
  job.fileCounter = counter;
  job.requestedBpp = plan.chain.depth.bpp;
  return job;
}

InputInWork convertEntry(const BatchPlan& plan, const InputEntry& entry, int32_t counter,
                         const PipelineResources& resources) {
  InputInWork input;
  input.startTime = monotonicMillis();
  input.counter = counter;
  FileJob job = startFileJob(plan, entry.path, entry.subfolder, counter);
  job.randomNumber = randomInteger(1, 99999);
  const SurfacePlan surfaces = planSurfaces(plan.surfaces, entry.path);
  input.overLimit = surfaces.overLimit;
  job.severalMips = surfaces.severalMips;
  job.severalFaces = surfaces.severalFaces;
  job.severalLayers = surfaces.severalLayers;
  input.surfaces.reserve(surfaces.surfaces.size());
  for (const DdsSurfaceId& surface : surfaces.surfaces) {
    FileInWork& file = input.surfaces.emplace_back();
    file.startTime = input.startTime;
    file.job = job;
    file.job.surface = surface;
    convertInWork(plan, resources, file);
  }
  return input;
}

bool saveConverted(const BatchPlan& plan, FileInWork& file, const OutputGate& mayWrite) {
  file.job.outputFile = makeOutputPath(plan.naming, file.job);
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

bool convertAndSaveFile(const BatchPlan& plan, FileJob& job, const PipelineResources& resources,
                        FileFailure* failure) {
  FileInWork file;
  file.job = job;
  convertInWork(plan, resources, file);
  const bool saved = saveConverted(plan, file);
  job = file.job;
  for (const std::string& message : messagesToReport(file)) recordLibraryMessage(message);
  if (failure) *failure = file.failure;
  return saved;
}
