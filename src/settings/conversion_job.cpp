#include "settings/conversion_job.h"

#include "platform/process.h"

void resetJob(ConversionJob& job) {
  job = ConversionJob{};
  job.workingFolder = currentFolder();
}
