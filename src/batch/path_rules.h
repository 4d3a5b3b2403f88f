#pragma once

#include <string>

// Path rules shared by the preparation pass and the input scan. Paths use
// kPathSeparator ("/"); a folder path the program holds ends in it.

// The text after the last separator ("b.dds" for "/a/b.dds"; empty for "/a/").
std::string lastPathComponent(const std::string& path);

// The extension of the last component: the text after its last ".", when
// that "." is not the component's first character and the text after it is
// not empty and holds no space. "a.dds" gives "dds"; ".profile", "a.", "my.old
// photos" give "". The letter case is kept.
std::string pathExtension(const std::string& path);

// True when the last component has an extension: such a path names a file,
// anything else names a folder ("/tmp.old" is a file by this rule).
bool namesFile(const std::string& path);

// Everything up to and including the last separator; empty when there is none.
std::string folderPart(const std::string& path);

// path with a separator appended unless it already ends in one.
std::string withTrailingSeparator(const std::string& path);

enum class FolderCheck {
  kValid,      // *folder now holds the absolute folder path ending in "/"
  kIncorrect,  // begins with ".."
  kMissing,    // not an existing folder
};

// Normalises a folder typed by the user: a path that begins with ".." is
// refused; a relative one loses a leading "./" and is put below baseFolder
// (which ends in "/"); a separator is appended; the result must exist.
FolderCheck normalizeFolder(std::string* folder, const std::string& baseFolder);
