#include "batch/temp_path.h"

#include "platform/clock.h"
#include "platform/files.h"

namespace {

std::string temporaryPathIn(const std::string& folder) {
  return folder + makeUniqueName(".pellucid", ".tmp");
}

}  // namespace

std::string makeUniqueName(const std::string& prefix, const std::string& suffix) {
  std::string letters;
  for (char digit : std::to_string(localNowSeconds())) {
    letters += digit == '-' ? 'z' : static_cast<char>('a' + (digit - '0'));
  }
  for (int i = 0; i < 5; ++i) letters += static_cast<char>('a' + randomInteger(0, 25));
  return prefix + letters + suffix;
}

std::string temporaryPathBeside(const std::string& outputPath) {
  const size_t slash = outputPath.rfind(kPathSeparator);
  return temporaryPathIn(slash == std::string::npos ? "" : outputPath.substr(0, slash + 1));
}
