#include "batch/commit_output.h"

#include "batch/temp_path.h"
#include "platform/files.h"
#include "platform/interrupt.h"

namespace {

// Names are fresh (date and random letters); a taken one is only ever a
// leftover of an earlier run, and another is drawn.
constexpr int kNameAttempts = 100;

}  // namespace

bool commitOutput(const std::string& bytes, const std::string& outputPath, std::string* reason,
                  std::string* temporaryPath) {
  return commitOutput(
      [&](ByteSink& sink) { return sink.write(bytes.data(), bytes.size()); }, outputPath, reason,
      temporaryPath);
}

bool commitOutput(const ByteSource& source, const std::string& outputPath, std::string* reason,
                  std::string* temporaryPath) {
  WriteFailure failure;
  std::string temporary;
  bool written = false;
  for (int attempt = 0; attempt < kNameAttempts && !written; ++attempt) {
    temporary = temporaryPathBeside(outputPath);
    setPendingTemporaryFile(temporary);
    written = writeNewFileFrom(temporary, source, &failure);
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
