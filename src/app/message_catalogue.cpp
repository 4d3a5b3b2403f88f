#include "app/message_catalogue.h"

#include <algorithm>
#include <numeric>

#include "platform/text.h"
#include "app/ini_reader.h"

namespace {

struct Pair {
  const char* first;
  const char* second;
};

// The built-in list: "_GROUP_" opens a group, "_END_" ends the list.
constexpr Pair kBuiltIn[] = {
    {"_GROUP_", "General"},
    {"Input File", "Input File:"},
    {"Input Files", "Input Files:"},
    {"Filename", "Filename"},
    {"Output Folder", "Output Folder:"},
    {"Output Format", "Output Format:"},
    {"Convert", "Convert"},
    {"Ready", "Ready"},
    {"Preparing", "Preparing..."},
    {"Importing", "Importing..."},
    {"Converting", "Converting..."},
    {"_GROUP_", "Msg"},
    {"Error", "Error"},
    {"Already written", "%s1% was already written from %s2%"},
    {"Unable to write", "Unable to write %s1%: %s2%"},
    {"Verification failed", "Verification failed for %s1%: %s2%"},
    {"Not enough memory to convert", "Not enough memory to convert %s1%"},
    {"Too many surfaces",
     "Too many surfaces in %s1%: more than %s2% array elements or depth slices"},
    {"Warning", "Warning"},
    {"Insufficient memory", "Not enough memory to complete the operation!"},
    {"Unable to open file", "Unable to open the file: %s1%!"},
    {"Unable to save file", "Unable to save the file: %s1%!"},
    {"Empty input files", "No input file(s) found. Please, add valid file(s) and try again!"},
    {"Empty input folder", "Please, choose an input folder and try again!"},
    {"Invalid input folder",
     "The following input folder is invalid or doesn't exist:\r\n%s1%\r\n\r\nPlease, correct "
     "the input path and try again!"},
    {"Empty output folder", "Please, choose an output folder and try again!"},
    {"Invalid output folder",
     "The following output folder is invalid or doesn't exist:\r\n%s1%\r\n\r\nPlease, correct "
     "the output path and try again!"},
    {"Invalid width", "The width must not be zero!"},
    {"Invalid height", "The height must not be zero!"},
    {"Invalid conversion type", "The selected output format is not supported!"},
    {"Invalid watermark font", "Unable to load selected font for a watermark: %s1%"},
    {"Empty watermark image", "Please, choose a watermark image and try again!"},
    {"Invalid watermark image", "Unable to load selected file as a watermark image: %s1%"},
    {"Import complete", "Import complete, new files added: %s1%"},
    {"Import is not complete", "Import stopped"},
    {"Export complete", "Export complete, entries saved: %s1%"},
    {"Export is not complete", "Export stopped"},
    {"Conversion complete", "Conversion complete"},
    {"Conversion is not complete", "Conversion stopped"},
    {"Progress", "(%s1%/%s2%)"},
    {"Files converted", "Files converted: %s1% of %s2%"},
    {"Files unchanged", "Files unchanged: %s1%"},
    {"Unable to write report", "Unable to write report %s1%: %s2%"},
    {"New Update", "New version available"},
    {"New Update Text", "A new version (%s1%) is available. Do you want to download it now?"},
    {"No Update", "No update available"},
    {"No Update Text", "You are using the latest version."},
    {"Check for Updates", "Check for updates"},
    {"Ask check for updates", "Do you want the program to check for updates automatically?"},
    {"Reset to Defaults", "Reset to defaults"},
    {"Ask reset to defaults", "Do you want to reset all settings to their defaults?"},
    {"Internet connection problems", "Unable to connect. Please, check your connection."},
    {"Ask overwrite file", "The file %s1% already exists. Do you want to replace it?"},
    {"Clean recent files", "Clear recent files"},
    {"Ask clean recent files", "Do you want to clear the list of recent files?"},
    {"Ask continue to find",
     "No matches of %s1% found!\r\n\r\nDo you want to search from the start of the list?"},
    {"Ask break import", "Do you want to stop the import?"},
    {"Ask break export", "Do you want to stop the export?"},
    {"Ask break conversion", "Do you want to stop the conversion?"},
    {"Empty extensions", "Please, choose at least one file extension and try again!"},
    {"Waiting for another copy", "Waiting for another copy of %s1% to finish..."},
    {"Unable to lock", "Unable to make sure that only one copy runs: %s1%"},
    {"_END_", ""},
};

MessageCatalogue& processCatalogue() {
  static MessageCatalogue catalogue = buildBuiltInCatalogue();
  return catalogue;
}

void indexGroup(MessageCatalogue& catalogue, MessageCatalogue::Group& group) {
  if (group.lastEntry < group.firstEntry) return;
  size_t first = static_cast<size_t>(group.firstEntry);
  size_t end = static_cast<size_t>(group.lastEntry) + 1;
  std::vector<size_t> order(end - first);
  std::iota(order.begin(), order.end(), first);
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return catalogue.keys[a] < catalogue.keys[b];
  });
  std::vector<std::string> keys, texts;
  for (size_t i : order) {
    keys.push_back(catalogue.keys[i]);
    texts.push_back(catalogue.texts[i]);
  }
  int previous = -1;
  for (size_t i = first; i < end; ++i) {
    catalogue.keys[i] = keys[i - first];
    catalogue.texts[i] = texts[i - first];
    int initial = catalogue.keys[i].empty() ? 0 : static_cast<unsigned char>(catalogue.keys[i][0]);
    if (initial != previous) group.firstByInitial[initial] = static_cast<int32_t>(i) + 1;
    previous = initial;
  }
}

}  // namespace

MessageCatalogue buildBuiltInCatalogue() {
  MessageCatalogue catalogue;
  catalogue.groups.emplace_back();  // index 0: not found
  for (const Pair& pair : kBuiltIn) {
    std::string first = pair.first;
    if (first == "_END_") break;
    if (first == "_GROUP_") {
      MessageCatalogue::Group group;
      group.name = toUpperText(pair.second);
      group.firstEntry = static_cast<int32_t>(catalogue.keys.size());
      catalogue.groups.push_back(group);
      continue;
    }
    catalogue.keys.push_back(toUpperText(first));
    catalogue.texts.push_back(pair.second);
    catalogue.groups.back().lastEntry = static_cast<int32_t>(catalogue.keys.size()) - 1;
  }
  for (size_t g = 1; g < catalogue.groups.size(); ++g) indexGroup(catalogue, catalogue.groups[g]);
  return catalogue;
}

int LoadMessageCatalogue(const std::string& languageFile) {
  MessageCatalogue& catalogue = processCatalogue();
  catalogue = buildBuiltInCatalogue();
  IniFile file;
  if (languageFile.empty() || !readIniFile(languageFile, &file)) return 1;
  for (size_t g = 1; g < catalogue.groups.size(); ++g) {
    const MessageCatalogue::Group& group = catalogue.groups[g];
    const IniGroup* overrides = file.findGroup(group.name);
    if (!overrides) continue;
    for (int32_t i = group.firstEntry; i <= group.lastEntry; ++i) {
      for (const IniEntry& entry : overrides->entries) {
        if (toUpperText(entry.key) == catalogue.keys[static_cast<size_t>(i)]) {
          catalogue.texts[static_cast<size_t>(i)] = entry.value;
        }
      }
    }
  }
  return 1;
}

std::string LookupMessage(std::string_view group, std::string_view key) {
  return LookupMessage(processCatalogue(), group, key);
}

std::string LookupMessage(MessageCatalogue& catalogue, std::string_view group,
                          std::string_view key) {
  const std::string missing = "%NO_STRING_ERROR%";
  std::string groupName = toUpperText(group);
  std::string keyName = toUpperText(key);
  if (catalogue.lastGroup >= catalogue.groups.size() ||
      catalogue.groups[catalogue.lastGroup].name != groupName || catalogue.lastGroup == 0) {
    catalogue.lastGroup = 0;
    for (size_t g = 1; g < catalogue.groups.size(); ++g) {
      if (catalogue.groups[g].name == groupName) {
        catalogue.lastGroup = g;
        break;
      }
    }
  }
  if (catalogue.lastGroup == 0 || keyName.empty()) return missing;
  const MessageCatalogue::Group& found = catalogue.groups[catalogue.lastGroup];
  int32_t start = found.firstByInitial[static_cast<unsigned char>(keyName[0])];
  if (start == 0) return missing;
  for (int32_t i = start - 1; i <= found.lastEntry; ++i) {
    const std::string& candidate = catalogue.keys[static_cast<size_t>(i)];
    if (candidate == keyName) return catalogue.texts[static_cast<size_t>(i)];
    if (keyName < candidate) break;
  }
  return missing;
}

std::string ExpandPlaceholders(const std::string& text, const std::string& s1,
                               const std::string& s2, const std::string& s3,
                               const std::string& s4) {
  std::string result = text;
  const std::string* arguments[] = {&s1, &s2, &s3, &s4};
  for (int n = 0; n < 4; ++n) {
    if (arguments[n]->empty()) continue;
    std::string placeholder = "%S" + std::to_string(n + 1) + "%";
    result = replaceAllIgnoringCase(result, placeholder, *arguments[n]);
  }
  return result;
}
