#include "pipeline/temp_path.h"

#include "platform/clock.h"
#include "platform/files.h"

std::string makeUniqueName(const std::string& prefix, const std::string& suffix) {
  std::string letters;
  for (char digit : std::to_string(localNowSeconds())) {
    letters += digit == '-' ? 'z' : static_cast<char>('a' + (digit - '0'));
  }
  for (int i = 0; i < 5; ++i) letters += static_cast<char>('a' + randomInteger(0, 25));
  return prefix + letters + suffix;
}

std::string makeTempPath(const ConversionSettings& settings, const ConversionJob& job) {
  std::string folder;
  const size_t slash = job.outputFile.rfind(kPathSeparator);
  if (slash != std::string::npos) {
    folder = job.outputFile.substr(0, slash + 1);
  } else {
    folder = job.outputFolder + (settings.keepSubfolders ? job.currentSubfolder : "");
  }
  std::string path;
  // Twenty-six to the fifth names per second: a clash is rare, but an
  // existing file must never be taken over.
  for (int attempt = 0; attempt < 100; ++attempt) {
    path = folder + makeUniqueName("pellucid", "") + "." + job.conversion;
    if (!pathExists(path)) break;
  }
  return path;
}
