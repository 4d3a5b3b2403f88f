#pragma once

#include <string>

// Documents made from the option table and the shared reference words, each
// with LF line ends, for the build (manual page, completion) and the README.

// The README's option reference, from its "<!-- options:begin" line to its
// "<!-- options:end -->" line inclusive: the -h text, every option with its
// values and default, the filename-mask tokens, the formats, the exit status.
std::string readmeReference();

// The manual page pellucidcmd.1 in man(7) roff.
std::string manualPage();

// A bash completion script: options, keyword values, the formats after -c and
// --conversion=, files after -i, folders after -o.
std::string bashCompletion();
