#include "batch/commit_output.h"

#include <functional>
#include <mutex>
#include <set>

#include "batch/path_rules.h"
#include "batch/temp_path.h"
#include "platform/files.h"
#include "platform/interrupt.h"

namespace {

// Names are fresh (date and random letters); a taken one is only ever a
// leftover of an earlier run, and another is drawn.
constexpr int kNameAttempts = 100;

// The first write of this process into a folder clears the temporary files
// that writers killed outright left there; once per folder is enough, as
// this process's own are removed by itself.
void sweepOnce(const std::string& folder) {
  static std::mutex mutex;
  static std::set<std::string> swept;
  std::lock_guard<std::mutex> lock(mutex);
  if (swept.insert(folder).second) removeAbandonedTemporaryFiles(folder);
}

}  // namespace

bool commitOutput(const std::string& bytes, const std::string& outputPath, std::string* reason,
                  std::string* temporaryPath) {
  return commitOutput(
      [&](ByteSink& sink) { return sink.write(bytes.data(), bytes.size()); }, outputPath, reason,
      temporaryPath);
}

namespace {

// Puts a new file under a fresh temporary name beside outputPath (place says
// whether that worked), then renames it over outputPath.
bool commitThrough(
    const std::function<bool(const std::string& temporary, WriteFailure*, FileInUse*)>& place,
    const std::string& outputPath, std::string* reason, std::string* temporaryPath) {
  sweepOnce(folderPart(outputPath));
  WriteFailure failure;
  std::string temporary;
  // Held through the rename: until the output has its name, the temporary
  // file is marked as in use, so no other run's sweep takes it.
  FileInUse inUse;
  bool written = false;
  for (int attempt = 0; attempt < kNameAttempts && !written; ++attempt) {
    temporary = temporaryPathBeside(outputPath);
    setPendingTemporaryFile(temporary);
    written = place(temporary, &failure, &inUse);
    if (!written) setPendingTemporaryFile("");
    if (!written && !failure.pathTaken) break;
  }
  if (temporaryPath) *temporaryPath = temporary;
  if (!written) {
    *reason = failure.reason;
    return false;
  }
  const bool renamed = renameFile(temporary, outputPath, reason);
  if (!renamed) removeFile(temporary);
  setPendingTemporaryFile("");
  return renamed;
}

}  // namespace

bool commitOutput(const ByteSource& source, const std::string& outputPath, std::string* reason,
                  std::string* temporaryPath) {
  return commitThrough(
      [&](const std::string& temporary, WriteFailure* failure, FileInUse* inUse) {
        return writeNewFileFrom(temporary, source, failure, inUse);
      },
      outputPath, reason, temporaryPath);
}

bool commitWrittenOutput(UnnamedFile& file, const std::string& outputPath, std::string* reason,
                         std::string* temporaryPath) {
  return commitThrough(
      [&](const std::string& temporary, WriteFailure* failure, FileInUse* inUse) {
        return nameUnnamedFile(file, temporary, failure, inUse);
      },
      outputPath, reason, temporaryPath);
}
