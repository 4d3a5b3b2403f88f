#include "batch/file_times.h"

#include "platform/files.h"

void applyFileTimePolicy(const FileTimePolicy& policy, const std::string& inputFile,
                         const std::string& outputFile) {
  if (policy.rule == FileTimeRule::kOriginal) {
    int64_t sourceTime = 0;
    if (fileModifiedTime(inputFile, &sourceTime)) setFileModifiedTime(outputFile, sourceTime);
  } else if (policy.rule == FileTimeRule::kCustom) {
    setFileModifiedTime(outputFile, policy.customTime);
  }
}
