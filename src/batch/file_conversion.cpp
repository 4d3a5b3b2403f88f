#include "batch/file_conversion.h"

#include <algorithm>
#include <new>
#include <utility>

#include "batch/commit_output.h"
#include "batch/output_naming.h"
#include "batch/path_rules.h"
#include "batch/surface_selection.h"
#include "formats/library_messages.h"
#include "batch/file_hash.h"
#include "formats/writers/verify_output.h"
#include "platform/clock.h"
#include "platform/files.h"
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
  // With --colorspace=auto integer outputs hold sRGB colour, and data as stored.
  if (plan.chain.colour.mode == ColourMode::kAuto) {
    target.colorTag = file.holdsData ? PngColorTag::kLinear : PngColorTag::kSrgb;
  }
  return target;
}

// Gathers the pieces of a file written from its rows into its bytes.
class StringSink : public ByteSink {
 public:
  explicit StringSink(std::string* bytes) : bytes_(bytes) {}
  bool write(const void* data, size_t size) override {
    bytes_->append(static_cast<const char*>(data), size);
    return true;
  }

 private:
  std::string* bytes_;
};

// A file that would be written from its image's rows gets its bytes now, so
// they can be checked; the same bytes are written.
void materialise(EncodedImage& encoded) {
  if (!encoded.stream) return;
  std::string bytes;
  StringSink sink(&bytes);
  encoded.stream(sink);
  encoded.bytes = std::move(bytes);
  encoded.stream = nullptr;
}

// --verify: both files of the image (the alpha file when there is one) must
// read back as the copies of what was encoded; otherwise nothing of it is
// written.
void verifyInWork(FIBITMAP* image, FIBITMAP* alpha, const SaveTarget& target, FileInWork& file) {
  materialise(file.encoded);
  if (file.hasAlphaFile) materialise(file.alphaEncoded);
  std::string reason;
  bool verified = verifyEncodedImage(image, target, file.encoded.bytes, &reason);
  if (verified && alpha) {
    verified = verifyEncodedImage(alpha, target, file.alphaEncoded.bytes, &reason);
    if (!verified) reason = "its alpha file: " + reason;
  }
  if (verified) return;
  file.failure = FileFailure{Kind::VerifyFailed, reason};
  file.encoded = EncodedImage{};
  file.alphaEncoded = EncodedImage{};
}

// The encoder's part of a worker's job; the encoder releases each image as
// soon as its bytes exist (or keeps it for a file written from its rows).
// --verify keeps copies to compare the files with.
void encodeInWork(const BatchPlan& plan, Bitmap image, Bitmap alpha, FileInWork& file) {
  const SaveTarget target = saveTargetOf(plan, file.job);
  Bitmap imageCopy, alphaCopy;
  if (plan.verifyOutputs) {
    imageCopy = adoptBitmap(FreeImage_Clone(image.get()));
    if (alpha) alphaCopy = adoptBitmap(FreeImage_Clone(alpha.get()));
    if (!imageCopy || (alpha && !alphaCopy)) {
      file.failure = FileFailure{Kind::OutOfMemory, ""};
      return;
    }
  }
  file.encoded = encodeImage(std::move(image), target);
  if (alpha) {
    file.hasAlphaFile = true;
    file.alphaEncoded = encodeImage(std::move(alpha), target);
    if (!file.alphaEncoded.ok) file.encoded.ok = false;
    file.encoded.outOfMemory = file.encoded.outOfMemory || file.alphaEncoded.outOfMemory;
  }
  file.encodeMessages = takeLibraryMessages();
  if (file.encoded.outOfMemory || (!file.encoded.ok && outOfMemoryMarked())) {
    file.failure = FileFailure{Kind::OutOfMemory, ""};
  } else if (!file.encoded.ok || !file.encodeMessages.empty()) {
    file.failure = FileFailure{Kind::NotConverted, ""};
  } else if (plan.verifyOutputs) {
    // Checked here, on the worker; a file that fails is never written, so
    // the old output stays.
    verifyInWork(imageCopy.get(), alphaCopy.get(), target, file);
  }
}

// Writes an encoded file through the checked writer and lets its bytes go.
// A file written from its image is encoded only now: what its library says
// then explains the failure, and belongs to no later file.
bool commitEncoded(EncodedImage& encoded, UnnamedFile& ahead, const std::string& path,
                   std::string* reason, std::string* temporary) {
  // A file written ahead that cannot be named there (another file system) is
  // written again, and any failure is that write's.
  const bool wasAhead = ahead.made();
  const bool named = wasAhead && commitWrittenOutput(ahead, path, reason, temporary);
  if (named || (wasAhead && !ahead.made())) {
    // Named; or its name was taken for a temporary one that could not be
    // renamed, and the file went with it: that failure stands.
    ahead = UnnamedFile{};
    encoded = EncodedImage{};
    return named;
  }
  // The bytes of a file written ahead are read back from it: it stays until then.
  const bool written = commitOutput(encodedBytes(encoded), path, reason, temporary);
  ahead = UnnamedFile{};
  encoded = EncodedImage{};
  const std::vector<std::string> messages = takeLibraryMessages();
  if (!written && !messages.empty()) *reason = messages.front();
  return written;
}

// A file written from its image's rows has no bytes in memory: unless its
// hash measured it, its size is the written file's.
void measureWritten(const std::string& path, int64_t* bytes) {
  if (*bytes == 0) *bytes = std::max<int64_t>(fileSize(path), 0);
}

// The alpha image of a written colour image, gated and written the same way.
bool saveAlphaFile(FileInWork& file, const OutputGate& mayWrite) {
  const std::string colourOutput = file.job.outputFile;
  file.alphaOutputFile = alphaOutputPath(colourOutput);
  file.job.outputFile = file.alphaOutputFile;
  if (mayWrite && !mayWrite(file.alphaOutputFile)) {
    file.failure = FileFailure{Kind::NotConverted, ""};
    return false;
  }
  std::string reason;
  std::string temporary;
  const bool streamed = static_cast<bool>(file.alphaEncoded.stream);
  const bool written = commitEncoded(file.alphaEncoded, file.alphaWrittenAhead, file.alphaOutputFile,
                                     &reason, &temporary);
  if (!written) {
    file.failure = FileFailure{Kind::WriteFailed, reason};
    return false;
  }
  if (streamed) measureWritten(file.alphaOutputFile, &file.alphaBytes);
  file.job.outputFile = colourOutput;
  return true;
}

// Size and SHA-256 of an encoded file, taken on the worker: the thread that
// writes the files in order only writes them.
void hashEncoded(const EncodedImage& encoded, int64_t* bytes, std::string* sha256) {
  if (encoded.stream) {
    *sha256 = sourceSha256(encoded.stream, bytes);
    return;
  }
  *bytes = static_cast<int64_t>(encoded.bytes.size());
  *sha256 = bytesSha256(encoded.bytes);
}

// Size of the encoded outputs held in memory (a file written from its image
// has its size once written, or from its hash). A dry run names the alpha
// image too and drops the bytes; false when its gate closes.
bool measureOutputs(const BatchPlan& plan, FileInWork& file, const OutputGate& mayWrite) {
  if (!file.encoded.stream) file.outputBytes = static_cast<int64_t>(file.encoded.bytes.size());
  if (file.hasAlphaFile && !file.alphaEncoded.stream) {
    file.alphaBytes = static_cast<int64_t>(file.alphaEncoded.bytes.size());
  }
  if (!plan.dryRun) return true;
  file.encoded = EncodedImage{};
  file.alphaEncoded = EncodedImage{};
  if (!file.hasAlphaFile) return true;
  file.alphaOutputFile = alphaOutputPath(file.job.outputFile);
  if (mayWrite && !mayWrite(file.alphaOutputFile)) {
    file.failure = FileFailure{Kind::NotConverted, ""};
    return false;
  }
  return true;
}

// A file written ahead keeps no copy in memory (its bytes, or the image it
// is written from) while it waits for its name: should it not take the
// name, it is read back from the file. Its size is taken now, while known
// (a file written from its image is measured once named).
void letGoOfWrittenBytes(EncodedImage& encoded, const UnnamedFile& ahead, int64_t* bytes) {
  if (!encoded.stream) *bytes = static_cast<int64_t>(encoded.bytes.size());
  encoded.bytes = std::string();
  encoded.stream = unnamedFileBytes(ahead);
}

// The encoded files, written without names in the folder of the output's
// name as the worker sees it (a number taken back by an earlier failure
// changes a name, not its folder, and a file links in anywhere on its file
// system anyway). Not in a folder that does not exist yet, nor in a dry run.
void writeFileAhead(const BatchPlan& plan, FileInWork& file) {
  if (plan.dryRun || !file.converted || file.failure.kind != Kind::None) return;
  const std::string folder = folderPart(makeOutputPath(plan.naming, file.job));
  WriteFailure failure;
  if (writeUnnamedFile(folder, encodedBytes(file.encoded), &file.writtenAhead, &failure, true)) {
    letGoOfWrittenBytes(file.encoded, file.writtenAhead, &file.outputBytes);
    if (file.hasAlphaFile &&
        writeUnnamedFile(folder, encodedBytes(file.alphaEncoded), &file.alphaWrittenAhead, &failure,
                         true)) {
      letGoOfWrittenBytes(file.alphaEncoded, file.alphaWrittenAhead, &file.alphaBytes);
    }
  }
  // What a library said while writing belongs to the write where the file
  // is named, which is made again when this one failed.
  takeLibraryMessages();
}

}  // namespace

std::string alphaOutputPath(const std::string& output) {
  const size_t name = output.find_last_of(kPathSeparator);
  const size_t dot = output.find_last_of('.');
  if (dot == std::string::npos || (name != std::string::npos && dot < name)) return output + "_alpha";
  return output.substr(0, dot) + "_alpha" + output.substr(dot);
}

void convertInWork(const BatchPlan& plan, const PipelineResources& resources, FileInWork& file) {
  // Running out of memory anywhere (a failed allocation throws std::bad_alloc
  // in our own code) fails this file only.
  try {
    Bitmap alpha;
    Bitmap image = convertFile(plan.chain, file.job, resources, &file.failure, &alpha);
    file.chainMessages = takeLibraryMessages();
    file.converted = image != nullptr;
    if (file.converted) encodeInWork(plan, std::move(image), std::move(alpha), file);
    if (file.converted && plan.hashOutputs && file.failure.kind == Kind::None) {
      hashEncoded(file.encoded, &file.outputBytes, &file.outputSha256);
      if (file.hasAlphaFile) hashEncoded(file.alphaEncoded, &file.alphaBytes, &file.alphaSha256);
      takeLibraryMessages();  // a stream that fails here fails again when written, and says so then
    }
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
                         const PipelineResources& resources, bool writeAhead,
                         std::shared_ptr<const std::string> inputBytes) {
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
    file.job.inputBytes = inputBytes;
    convertInWork(plan, resources, file);
    file.job.inputBytes.reset();
    if (writeAhead) writeFileAhead(plan, file);
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
  if (!measureOutputs(plan, file, mayWrite)) return false;
  if (plan.dryRun) return true;
  std::string reason;
  const bool streamed = static_cast<bool>(file.encoded.stream);
  const bool written =
      commitEncoded(file.encoded, file.writtenAhead, file.job.outputFile, &reason,
                    &file.job.tempOutputFile);
  if (!written) file.failure = FileFailure{Kind::WriteFailed, reason};
  if (written && streamed) measureWritten(file.job.outputFile, &file.outputBytes);
  if (!written || !file.hasAlphaFile) return written;
  return saveAlphaFile(file, mayWrite);
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
