#include "batch/temp_path.h"

#include <charconv>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/process.h"

namespace {

constexpr std::string_view kPrefix = ".pellucid";
constexpr std::string_view kSuffix = ".tmp";

std::string temporaryPathIn(const std::string& folder) {
  return folder + makeUniqueName(std::string(kPrefix),
                                 "-" + std::to_string(currentProcessId()) + std::string(kSuffix));
}

bool isTemporaryName(std::string_view name) {
  return name.size() > kPrefix.size() + kSuffix.size() && name.starts_with(kPrefix) &&
         name.ends_with(kSuffix);
}

// The process id a temporary name records; 0 when it has none (names of
// earlier versions: letters only).
int writerOf(std::string_view name) {
  name.remove_suffix(kSuffix.size());
  const size_t dash = name.rfind('-');
  if (dash == std::string_view::npos) return 0;
  int id = 0;
  const auto [end, error] = std::from_chars(name.data() + dash + 1, name.data() + name.size(), id);
  return error == std::errc{} && end == name.data() + name.size() ? id : 0;
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

int removeAbandonedTemporaryFiles(const std::string& folder) {
  std::vector<FolderEntry> entries;
  if (!listFolder(folder.empty() ? "." : folder, &entries)) return 0;
  int removed = 0;
  for (const FolderEntry& entry : entries) {
    if (entry.isFolder || !isTemporaryName(entry.name)) continue;
    const int writer = writerOf(entry.name);
    if (writer != 0 && processIsRunning(writer)) continue;
    if (removeFileNotInUse(folder + entry.name)) ++removed;
  }
  return removed;
}
