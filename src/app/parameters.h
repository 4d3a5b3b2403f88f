#pragma once

#include <string>
#include <string_view>
#include <vector>

// Cuts a raw command line (the text after the program's own name) into
// parameters. Runs of spaces separate parameters. A parameter that starts with
// a double quote ends at the next double quote, and the text right after it
// starts the next parameter; inside any other parameter a double quote opens a
// stretch, up to the next double quote, in which spaces do not separate. Every
// double quote is dropped, and there is no escape character:
//   a "b c" d       -> a | b c | d
//   --wm-text="Hi there"x y  -> --wm-text=Hi therex | y
//   "abc"def        -> abc | def
std::vector<std::string> splitCommandLine(std::string_view line);

// The option name of parameter index: empty unless the (space-trimmed)
// parameter starts with "-"; for "--" options the text before the first "=";
// for single-dash options the whole text, "=" included. Upper case.
//   --Jpg-Quality=90 -> --JPG-QUALITY,  -i=a.dds -> -I=A.DDS
std::string ParameterName(const std::vector<std::string>& parameters, int index);

// The value text of parameter index: for a "--" option with "=" everything
// after the first "=" (case kept); otherwise the whole space-trimmed text.
// Empty for an index outside the list.
std::string ParameterValue(const std::vector<std::string>& parameters, int index);
