#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/option_table.h"

// The words the README reference, the manual page and the shell completion
// share beyond the option table itself. Each generator formats them its way.

struct NamedText {
  std::string_view name;
  std::string_view text;
};

// The option table's groups: the long name of each group's first row and its
// heading, in table order.
const std::vector<NamedText>& optionGroups();

// Filename-mask tokens and what each becomes.
const std::vector<NamedText>& maskTokens();

// The defaults users trip over, one sentence each.
const std::vector<std::string_view>& surprisingDefaults();

// Exit status values ("0", "1", "2") with their meaning under --exit-code.
const std::vector<NamedText>& exitStatuses();

// Example jobs: what it does, and the command line.
const std::vector<NamedText>& exampleJobs();

// The row's names with a value word: "-i FILE, --input=FILE",
// "--dither=KEYWORD" (the keywords are listed apart).
std::string optionForm(const OptionRow& row);

// The row's default as the user would type it ("95", "lanczos", "000000"),
// or "" when it has none worth stating (flags, paths, the run's own time).
std::string defaultValueText(const OptionRow& row);

// The values the row accepts: its keywords ("fs", "bayer4", ...), the 23
// formats for -c, the allowed depths for a "-bpp" row ("0" first); empty
// for free values.
std::vector<std::string> acceptedValues(const OptionRow& row);
