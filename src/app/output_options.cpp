#include "app/output_options.h"

#include <cstdio>
#include <variant>

#include "app/option_table.h"
#include "app/program_identity.h"
#include "settings/keyword_tables.h"

namespace {

std::string realText(float value) {
  char text[32];
  std::snprintf(text, sizeof(text), "%g", static_cast<double>(value));
  return text;
}

// The row's value in settings as an option would give it; false when the
// row holds no settings value.
bool valueText(const OptionRow& row, const ConversionSettings& s, std::string* text) {
  if (const auto* field = std::get_if<SettingsInt>(&row.field)) {
    *text = row.kind == OptionKind::kKeyword ? KeywordText(row.keywordTable, s.**field)
                                             : std::to_string(s.**field);
  } else if (const auto* field = std::get_if<SettingsByte>(&row.field)) {
    *text = row.kind == OptionKind::kKeyword ? KeywordText(row.keywordTable, s.**field)
                                             : std::to_string(s.**field);
  } else if (const auto* field = std::get_if<SettingsReal>(&row.field)) {
    *text = realText(s.**field);
  } else if (const auto* field = std::get_if<SettingsText>(&row.field)) {
    *text = s.**field;
  } else {
    return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> outputShapingOptions(const ConversionSettings& settings,
                                              const std::string& conversion) {
  ConversionSettings defaults;
  resetSettings(defaults, true);
  // The custom time shapes the outputs' times only when they take it.
  if (settings.fileTimestamp != kFileTimestampCustom) {
    defaults.customTimestamp = settings.customTimestamp;
  } else {
    defaults.customTimestamp = settings.customTimestamp + 1;
  }
  std::vector<std::string> options = {"--conversion=" + conversion};
  for (const OptionRow& row : optionTable()) {
    std::string value, initial;
    if (!row.shapesOutputs || !valueText(row, settings, &value)) continue;
    valueText(row, defaults, &initial);
    const bool switched = row.enable && settings.*row.enable != defaults.*row.enable;
    if (row.kind == OptionKind::kFlag) {
      const uint8_t stored = settings.*std::get<SettingsByte>(row.field);
      if (stored == row.flagValue && value != initial) options.push_back(std::string(row.longName));
      continue;
    }
    if (value != initial || switched) options.push_back(std::string(row.longName) + "=" + value);
  }
  return options;
}

std::string recordKeyOf(const std::vector<std::string>& options, bool sidecars) {
  std::string key;
  for (const std::string& option : options) key += option + "\n";
  key += sidecars ? "sidecars\n" : "no sidecars\n";
  return key + "version " + std::to_string(kProgramVersion) + "\n";
}
