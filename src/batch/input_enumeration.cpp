#include "batch/input_enumeration.h"

#include <algorithm>

#include "batch/path_rules.h"
#include "formats/format_tables.h"
#include "platform/text.h"
#include "platform/threads.h"

namespace {

bool isListFile(const std::string& path) {
  std::string extension = toLowerText(pathExtension(path));
  return extension == "txt" || extension == "lst";
}

}  // namespace

int32_t importInputs(const InputSource& source, InputSet& inputs, BatchProgress& progress) {
  InputScanner scanner(source.folder, inputs, progress);
  if (!source.folder.empty()) {
    runPhaseThread(progress, [&scanner] { scanner.scanInputFolder(); });
  } else if (isListFile(source.file)) {
    runPhaseThread(progress, [&scanner, &source] { scanner.readListFile(source.file); });
  } else {
    std::lock_guard<std::mutex> hold(progress.progressLock);
    progress.count = scanner.addFile(source.file);
  }
  std::lock_guard<std::mutex> hold(progress.progressLock);
  return progress.count;
}

InputScanner::InputScanner(std::string inputRoot, InputSet& inputs, BatchProgress& progress)
    : root_(std::move(inputRoot)),
      inputs_(inputs),
      progress_(progress),
      acceptedExtensions_(buildAcceptedInputExtensions(formatTables())) {}

int32_t InputScanner::addFile(const std::string& path, const FileStamp* known) {
  std::string extension = toLowerText(pathExtension(path));
  if (std::find(acceptedExtensions_.begin(), acceptedExtensions_.end(), extension) ==
      acceptedExtensions_.end()) {
    return 0;
  }
  // One stat serves the size check here and the up-to-date check of
  // --skip-unchanged later; only what is not a regular file is asked again.
  FileStamp stamp;
  if (known) stamp = *known;
  const bool stamped = known || fileStamp(path, &stamp);
  if ((stamped ? stamp.size : fileSize(path)) <= 0) return 0;
  InputEntry& entry = pathsUnique_ ? inputs_.append(path) : inputs_.findOrCreate(path);
  if (entry.listed == 1) return 0;
  entry.stamped = stamped;
  entry.stamp = stamp;
  entry.subfolder = relativeSubfolder(path, root_);
  entry.listed = 1;
  return 1;
}

int32_t InputScanner::scanFolderTree(const std::string& folder) {
  FolderIdentity identity;
  if (!folderIdentity(folder, &identity) || !visitedFolders_.insert(identity).second) return 0;
  std::vector<FolderEntry> entries;
  if (!(listings_ ? listings_->take(folder, &entries) : listFolder(folder, &entries, true))) return 0;
  askForSubfolders(folder, entries);
  int32_t added = 0;
  for (const FolderEntry& entry : entries) {
    if (entry.isFolder) {
      added += scanFolderTree(withTrailingSeparator(folder + entry.name));
    } else {
      added += addFile(folder + entry.name, entry.stamped ? &entry.stamp : nullptr);
    }
  }
  return added;
}

void InputScanner::scanInputFolder() {
  int32_t total = 0;
  std::vector<FolderEntry> entries;
  FolderIdentity identity;
  // Subfolders are listed ahead on a few threads while the scan goes on in
  // order (on two cores two of them: the listing waits on its stat calls
  // more than the scan does); a lone core gains nothing from it.
  const int32_t cores = availableCores();
  FolderListings listings(cores > 1 ? std::min<int32_t>(cores, 3) : 0);
  listings_ = &listings;
  pathsUnique_ = inputs_.entries().empty();
  if (folderIdentity(root_, &identity) && listFolder(root_, &entries, true)) {
    visitedFolders_.insert(identity);
    askForSubfolders(root_, entries);
    int32_t visited = 0;
    for (const FolderEntry& entry : entries) {
      if (progress_.running == 0) break;
      publishVisit(progress_, ++visited);
      if (entry.isFolder) {
        total += scanFolderTree(withTrailingSeparator(root_ + entry.name));
      } else {
        total += addFile(root_ + entry.name, entry.stamped ? &entry.stamp : nullptr);
      }
    }
  }
  listings_ = nullptr;
  pathsUnique_ = false;
  addToCount(progress_, total);
}

void InputScanner::askForSubfolders(const std::string& folder,
                                    const std::vector<FolderEntry>& entries) {
  if (!listings_) return;
  for (const FolderEntry& entry : entries) {
    if (entry.isFolder) listings_->ask(withTrailingSeparator(folder + entry.name));
  }
}

void InputScanner::readListFile(const std::string& listFile) {
  int32_t total = 0;
  std::string bytes;
  if (readWholeFile(listFile, &bytes)) {
    int32_t visited = 0;
    for (const std::string& line : splitListLines(decodeListText(bytes))) {
      if (progress_.running == 0) break;
      if (!pathExists(line)) continue;
      publishVisit(progress_, ++visited);
      if (isFolder(line)) {
        // Each line is a scan of its own: a folder named on two lines (by
        // two spellings) gives two sets of keys, as a second scan would.
        visitedFolders_.clear();
        total += scanFolderTree(withTrailingSeparator(line));
      } else {
        total += addFile(line);
      }
    }
  }
  addToCount(progress_, total);
}

std::string relativeSubfolder(const std::string& path, const std::string& root) {
  if (path.empty() || root.empty()) return std::string();
  std::string folder = folderPart(path);
  if (!startsWith(folder, root)) return std::string();
  return folder.substr(root.size());
}

std::string decodeListText(std::string_view bytes) {
  auto hasMark = [bytes](std::string_view mark) { return startsWith(bytes, mark); };
  using namespace std::string_view_literals;
  // UTF-32 LE before UTF-16 LE: its mark begins with the UTF-16 one.
  if (hasMark("\xFF\xFE\x00\x00"sv)) return utf32ToUtf8(bytes.substr(4), false);
  if (hasMark("\x00\x00\xFE\xFF"sv)) return utf32ToUtf8(bytes.substr(4), true);
  if (hasMark("\xFF\xFE"sv)) return utf16ToUtf8(bytes.substr(2), false);
  if (hasMark("\xFE\xFF"sv)) return utf16ToUtf8(bytes.substr(2), true);
  if (hasMark("\xEF\xBB\xBF"sv)) return std::string(bytes.substr(3));
  return std::string(bytes);
}

std::vector<std::string> splitListLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    std::string line = trimText(text.substr(start, end - start));
    if (!line.empty()) lines.push_back(std::move(line));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
      ++end;
    }
    start = end + 1;
  }
  return lines;
}
