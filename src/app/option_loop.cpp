#include "app/option_loop.h"

#include "app/message_catalogue.h"
#include "app/option_table.h"
#include "app/parameters.h"
#include "app/profile.h"
#include "formats/format_tables.h"
#include "platform/text.h"

namespace {

// -i/-o/-c and their long forms; may advance index to the separate value.
std::string handleJobText(const OptionRow& row, const std::vector<std::string>& parameters,
                          int& index, ConversionSettings& settings, ConversionJob& job) {
  if (row.jobEnable) job.*row.jobEnable = 1;  // -i counts even when its value is bad
  if (!startsWith(ParameterName(parameters, index), "--")) ++index;
  std::string value = ParameterValue(parameters, index);
  if (value.empty() || value[0] == '-') return kIncorrectParameters;
  storeOptionValue(row, value, settings, job);
  return std::string();
}

}  // namespace

void startRunRecords(ConversionSettings& settings, ConversionJob& job) {
  formatTables();
  resetJob(job);
  resetSettings(settings, true);
  LoadMessageCatalogue("");
}

std::string runOptionLoop(const std::vector<std::string>& parameters, ConversionSettings& settings,
                          ConversionJob& job, RunFlags& flags) {
  const int count = static_cast<int>(parameters.size());
  for (int index = 0; index < count; ++index) {
    const OptionRow* row = findOption(ParameterName(parameters, index));
    if (row == nullptr) continue;
    std::string error;
    switch (row->kind) {
      case OptionKind::kJobText:
        error = handleJobText(*row, parameters, index, settings, job);
        break;
      case OptionKind::kFlag:
        storeOptionValue(*row, std::string_view(), settings, job);
        break;
      case OptionKind::kDebug:
        job.debugMode = "DEBUG";
        break;
      case OptionKind::kQuiet:
        flags.quiet = true;
        break;
      case OptionKind::kPause:
        flags.pause = true;
        break;
      case OptionKind::kHelp:
      case OptionKind::kVersion:
        break;  // the driver reads them as the first parameter only
      default: {
        std::string value = ParameterValue(parameters, index);
        if (value.empty() || startsWith(value, "--")) {
          error = kIncorrectParameters;
        } else if (row->kind == OptionKind::kProfile) {
          if (!LoadProfile(value, settings)) error = kInvalidProfile;
        } else {
          storeOptionValue(*row, value, settings, job);
        }
        break;
      }
    }
    if (!error.empty()) return error;
  }
  return std::string();
}
