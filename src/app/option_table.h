#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "settings/conversion_job.h"
#include "settings/conversion_settings.h"

// The command-line vocabulary as data: one row per option, read by the option
// loop and by the profile reader alike. A row names the field it fills, how
// its value text is read, and the enable field it switches on (such as
// doResize for --width), so no option needs code of its own.

enum class OptionKind : uint8_t {
  kFlag,      // no value; any text after "=" is ignored
  kInteger,   // ParseInteger, low 32 bits kept
  kReal,      // ParseReal
  kKeyword,   // KeywordCode in the row's table
  kText,      // kept as typed
  kJobText,   // -i, -o, -c: the short form takes the next parameter as value
  kProfile,   // --profile: reads a profile file at this point
  kDebug,     // -d: ConversionJob.debugMode = "DEBUG"
  kQuiet,     // -q: no banner, no phase or summary lines
  kPause,     // -p: wait for a key before the program ends
  kHelp,      // -h: only as the first parameter; ignored elsewhere
  kVersion,   // -v: only as the first parameter; ignored elsewhere
};

// Where the -h text shows a row; kNone rows appear only in the reference
// (README, manual page).
enum class HelpSection : uint8_t { kNone, kMain, kAdvanced, kOther };

using SettingsInt = int32_t ConversionSettings::*;
using SettingsByte = uint8_t ConversionSettings::*;
using SettingsReal = float ConversionSettings::*;
using SettingsText = std::string ConversionSettings::*;
using JobText = std::string ConversionJob::*;
using JobByte = uint8_t ConversionJob::*;

using OptionField =
    std::variant<std::monostate, SettingsInt, SettingsByte, SettingsReal, SettingsText, JobText>;

struct OptionRow {
  std::string_view shortName;  // "-i", or empty
  std::string_view longName;   // "--input", lower case; a profile key is this name
  OptionKind kind = OptionKind::kFlag;
  OptionField field;
  int keywordTable = -1;           // for kKeyword
  uint8_t flagValue = 1;           // what a flag stores (0 for --no-subfolders)
  SettingsByte enable = nullptr;   // switched on before the value is stored
  uint8_t enableValue = 1;         // watermarkKind takes 1 (text) or 2 (picture)
  JobByte jobEnable = nullptr;     // -i sets consoleMode before its value is checked
  bool inProfile = false;          // a profile may set it
  bool profileStripsQuotes = false;  // profile value loses its surrounding quotes
  std::string_view valueHint;      // "NUM", "FILE", ... for the option reference
  std::string_view aliasName;      // a second short name ("-?" for -h)
  HelpSection helpSection = HelpSection::kNone;
  uint8_t helpRank = 0;            // order within the help section
  std::string_view helpText;       // the -h text's words for the row
  std::string_view aboutText;      // the reference's words; helpText when empty
  bool shapesOutputs = true;       // false: steers the run only (never invalidates a record)

  constexpr OptionRow alias(std::string_view name) const {
    OptionRow row = *this;
    row.aliasName = name;
    return row;
  }
  constexpr OptionRow inHelp(HelpSection section, uint8_t rank, std::string_view text) const {
    OptionRow row = *this;
    row.helpSection = section;
    row.helpRank = rank;
    row.helpText = text;
    return row;
  }
  constexpr OptionRow about(std::string_view text) const {
    OptionRow row = *this;
    row.aboutText = text;
    return row;
  }
  constexpr OptionRow runOnly() const {
    OptionRow row = *this;
    row.shapesOutputs = false;
    return row;
  }
  // What the reference says about the row.
  constexpr std::string_view description() const {
    return aboutText.empty() ? helpText : aboutText;
  }
};

// Every option, in the order of the option reference.
std::span<const OptionRow> optionTable();

// The row whose short or long name equals name (an upper-case parameter name,
// see ParameterName); nullptr when there is none.
const OptionRow* findOption(std::string_view upperName);

// The row a profile key names (compared without regard to case); nullptr for
// unknown keys and for options a profile may not set.
const OptionRow* findProfileOption(std::string_view key);

// Switches on the row's enable fields, converts value by the row's kind and
// stores it. Flags ignore value. Rows of the run-control kinds (profile,
// debug, quiet, pause) store nothing here.
void storeOptionValue(const OptionRow& row, std::string_view value, ConversionSettings& settings,
                      ConversionJob& job);

// The value form of the row for the option reference: "--width=NUM",
// "-i FILE, --input=FILE", "-h, -?, --help", "--dither=fs|bayer4|...".
std::string describeOption(const OptionRow& row);
