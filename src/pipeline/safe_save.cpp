#include "pipeline/safe_save.h"

#include "pipeline/library_messages.h"
#include "platform/files.h"
#include "platform/interrupt.h"

bool saveThroughTemporary(const std::string& temporaryPath, const std::string& outputPath,
                          const std::function<bool(const std::string& path)>& write) {
  if (temporaryPath.empty() || outputPath.empty()) return false;
  const size_t messagesBefore = pendingLibraryMessageCount();
  setPendingTemporaryFile(temporaryPath);
  bool ok = write(temporaryPath) && pendingLibraryMessageCount() == messagesBefore &&
            fileSize(temporaryPath) > 0 && !isFolder(outputPath);
  if (ok) ok = renameFile(temporaryPath, outputPath);
  if (!ok) removeFile(temporaryPath);
  setPendingTemporaryFile("");
  return ok;
}
