#pragma once

#include <string>

// prefix + the local date value's decimal digits written as letters
// ('a' for 0 ... 'j' for 9) + five random letters a..z + suffix.
std::string makeUniqueName(const std::string& prefix, const std::string& suffix);

// A fresh temporary path in the folder of outputPath (the current folder when
// it has none): ".pellucid" + unique letters + "-" + the writing process's id
// + ".tmp" (".pellucidbcdefghijkqwert-4711.tmp"). The leading dot and the
// ".tmp" end make a leftover of a killed run recognisable and keep it out of
// every later scan for ".dds" inputs; the process id tells whether its writer
// is gone.
std::string temporaryPathBeside(const std::string& outputPath);

// Removes from folder (ending in the separator, or empty for the current
// folder) the temporary files of writers that are gone: a run killed
// outright (kill -9, a power cut) could not remove its own. A file is taken
// only when no live process holds it in use and the process its name records
// no longer runs (names without an id: the lock alone decides), so the files
// of a live run, such as another shard writing into the same folder, stay.
// Returns how many were removed.
int removeAbandonedTemporaryFiles(const std::string& folder);
