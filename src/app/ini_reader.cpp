#include "app/ini_reader.h"

#include "platform/files.h"
#include "platform/text.h"

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kBlanks = " \t";

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line.push_back(c);
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace

const IniGroup* IniFile::findGroup(std::string_view name) const {
  std::string wanted = toUpperText(name);
  for (const IniGroup& group : groups) {
    if (toUpperText(group.name) == wanted) return &group;
  }
  return nullptr;
}

IniFile parseIniText(std::string_view bytes) {
  std::string text = startsWith(bytes, kUtf8Bom) ? std::string(bytes.substr(kUtf8Bom.size()))
                                                 : latin1ToUtf8(bytes);
  IniFile file;
  for (const std::string& raw : splitLines(text)) {
    std::string line = trimLeft(raw, kBlanks);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      size_t close = line.find(']');
      file.groups.push_back({line.substr(1, close == std::string::npos ? std::string::npos : close - 1), {}});
      continue;
    }
    if (file.groups.empty()) continue;
    size_t equals = line.find('=');
    IniEntry entry;
    entry.key = trimRight(line.substr(0, equals), kBlanks);
    if (equals != std::string::npos) entry.value = trimText(line.substr(equals + 1), kBlanks);
    file.groups.back().entries.push_back(std::move(entry));
  }
  return file;
}

bool readIniFile(const std::string& path, IniFile* file) {
  std::string bytes;
  if (path.empty() || !readWholeFile(path, &bytes)) return false;
  *file = parseIniText(bytes);
  return true;
}
