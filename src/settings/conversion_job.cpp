#include "settings/conversion_job.h"

#include "platform/clock.h"
#include "platform/process.h"

void resetJob(ConversionJob& job) {
  job = ConversionJob{};
  job.workingFolder = currentFolder();
  job.randomNumber = randomInteger(1, 99999);
  job.fileCounter = 1;
}
