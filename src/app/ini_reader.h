#pragma once

#include <string>
#include <string_view>
#include <vector>

// INI text as profiles and language files use it:
//   ; comment
//   [Group]        text after "]" is ignored; no "]" runs to the line end
//   key = value    key: before the first "=", trailing blanks removed;
//                  value: after it, blanks removed at both ends
// Lines end at CR, LF or CR LF; blanks (space, tab) before a line are ignored.
// A file that starts with the UTF-8 byte-order mark is UTF-8, any other file
// is ISO-8859-1, one character per byte.

struct IniEntry {
  std::string key;    // as written
  std::string value;  // as written, blanks removed at both ends
};

struct IniGroup {
  std::string name;  // as written
  std::vector<IniEntry> entries;
};

struct IniFile {
  std::vector<IniGroup> groups;  // in file order; entries before any group are dropped

  // The first group whose name equals name without regard to case.
  const IniGroup* findGroup(std::string_view name) const;
};

// Decodes and parses raw file bytes.
IniFile parseIniText(std::string_view bytes);

// False when the file cannot be opened for reading (missing, a folder, no access).
bool readIniFile(const std::string& path, IniFile* file);
