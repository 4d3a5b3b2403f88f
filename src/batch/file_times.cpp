#include "batch/file_times.h"

#include "platform/files.h"

void applyFileTimePolicy(const ConversionSettings& settings, const ConversionJob& job) {
  if (settings.fileTimestamp == kFileTimeOriginal) {
    int64_t sourceTime = 0;
    if (fileModifiedTime(job.currentFile, &sourceTime)) {
      setFileModifiedTime(job.outputFile, sourceTime);
    }
  } else if (settings.fileTimestamp == kFileTimeCustom) {
    setFileModifiedTime(job.outputFile, settings.customTimestamp);
  }
}
