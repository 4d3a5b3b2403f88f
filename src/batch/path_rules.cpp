#include "batch/path_rules.h"

#include "platform/files.h"
#include "platform/text.h"

std::string lastPathComponent(const std::string& path) {
  size_t separator = path.rfind(kPathSeparator);
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string pathExtension(const std::string& path) {
  std::string component = lastPathComponent(path);
  size_t dot = component.rfind('.');
  if (dot == std::string::npos || dot == 0) return std::string();
  std::string extension = component.substr(dot + 1);
  if (extension.find(' ') != std::string::npos) return std::string();
  return extension;
}

bool namesFile(const std::string& path) { return !pathExtension(path).empty(); }

std::string folderPart(const std::string& path) {
  size_t separator = path.rfind(kPathSeparator);
  return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string withTrailingSeparator(const std::string& path) {
  if (!path.empty() && path.back() == kPathSeparator) return path;
  return path + kPathSeparator;
}

FolderCheck normalizeFolder(std::string* folder, const std::string& baseFolder) {
  if (startsWith(*folder, "..")) return FolderCheck::kIncorrect;
  if (!isAbsolutePath(*folder)) {
    const std::string dotPrefix = std::string(".") + kPathSeparator;
    if (startsWith(*folder, dotPrefix)) folder->erase(0, dotPrefix.size());
    *folder = baseFolder + *folder;
  }
  *folder = withTrailingSeparator(*folder);
  return isFolder(*folder) ? FolderCheck::kValid : FolderCheck::kMissing;
}
