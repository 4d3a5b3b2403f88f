#pragma once

#include <string>

// Makes to a second name of the existing file from (a hard link). to must
// not exist. False when the system refuses (another file system, no link
// support, a limit); *reason then holds its text.
bool linkFile(const std::string& from, const std::string& to, std::string* reason);
