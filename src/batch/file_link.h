#pragma once

#include <string>

// Puts a second copy of the finished file from at to (replacing what is
// there): a hard link when mayLink and the file system allows it, else a
// copy of the bytes through the checked writer. Either way to appears whole
// or not at all. False with *reason when neither works.
bool linkOrCopy(const std::string& from, const std::string& to, bool mayLink, std::string* reason);
