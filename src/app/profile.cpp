#include "app/profile.h"

#include "app/ini_reader.h"
#include "app/option_table.h"
#include "platform/text.h"

bool LoadProfile(const std::string& path, ConversionSettings& settings) {
  IniFile file;
  if (!readIniFile(path, &file)) return false;
  const IniGroup* group = file.findGroup("CLI");
  if (group == nullptr) return true;
  ConversionJob unused;  // profile options never touch the job
  for (const IniEntry& entry : group->entries) {
    const OptionRow* row = findProfileOption(entry.key);
    if (row == nullptr) continue;
    std::string value = row->profileStripsQuotes ? trimText(entry.value, "\"")
                                                 : trimText(entry.value, " ");
    storeOptionValue(*row, value, settings, unused);
  }
  return true;
}
