#include "app/help_text.h"

#include <algorithm>

#include "app/message_catalogue.h"
#include "app/option_table.h"
#include "formats/format_tables.h"
#include "platform/clock.h"

namespace {

// Which extension fills %s2% of an example line.
enum class Example { kNone, kInput, kOutput };

struct ExampleLine {
  const char* text;
  Example example;
};

constexpr ExampleLine kExamples[] = {
    {"  %s1% -i example.%s2%", Example::kInput},
    {"  %s1% -i /tmp/example.%s2%", Example::kInput},
    {"  %s1% -i /tmp/example.%s2% -o /srv/converted", Example::kInput},
    {"  %s1% -i /tmp/filelist.txt", Example::kNone},
    {"  %s1% -i /tmp/ -o /srv/converted --jpg-quality=95", Example::kNone},
    {"  %s1% -i /tmp/ -o /srv/converted -c %s2% --jpg-quality=95", Example::kOutput},
};

struct Section {
  HelpSection section;
  const char* heading;
  const char* closingLine;  // after the section's rows, or nullptr
};

constexpr Section kSections[] = {
    {HelpSection::kMain, "Options:", nullptr},
    {HelpSection::kAdvanced, "Advanced options:",
     "    ...                     Refer documentation for all available options"},
    {HelpSection::kOther, "Other options:", nullptr},
};

// The option column is this wide; the words start after it.
constexpr size_t kOptionColumn = 26;

// Each example line picks its own input extension from the default list.
std::string randomInputExtension() {
  const std::vector<std::string>& list = kDefaultInputExtensions;
  int32_t last = static_cast<int32_t>(list.size()) - 1;
  return list[static_cast<size_t>(randomInteger(0, last))];
}

std::vector<const OptionRow*> rowsOf(HelpSection section) {
  std::vector<const OptionRow*> rows;
  for (const OptionRow& row : optionTable()) {
    if (row.helpSection == section) rows.push_back(&row);
  }
  std::stable_sort(rows.begin(), rows.end(), [](const OptionRow* a, const OptionRow* b) {
    return a->helpRank < b->helpRank;
  });
  return rows;
}

std::string optionLine(const OptionRow& row) {
  std::string left = describeOption(row);
  if (left.size() < kOptionColumn) left.resize(kOptionColumn, ' ');
  return "  " + left + std::string(row.helpText);
}

}  // namespace

std::vector<std::string> helpLines(const std::string& programName) {
  std::vector<std::string> lines = {" ", ExpandPlaceholders("Usage: %s1% -i <filename> [options]",
                                                             programName),
                                    " "};
  for (const ExampleLine& line : kExamples) {
    std::string extension;
    if (line.example == Example::kInput) extension = randomInputExtension();
    if (line.example == Example::kOutput) extension = formatTables().outputExtensions.front();
    lines.push_back(ExpandPlaceholders(line.text, programName, extension));
  }
  for (const Section& section : kSections) {
    lines.insert(lines.end(), {" ", section.heading, " "});
    for (const OptionRow* row : rowsOf(section.section)) lines.push_back(optionLine(*row));
    if (section.closingLine != nullptr) lines.push_back(section.closingLine);
  }
  return lines;
}
