#pragma once

#include <string>
#include <vector>

// Folder of the running executable, ending in the path separator.
std::string programFolder();

// The current directory, ending in the path separator; empty when it cannot
// be read (removed while the program runs).
std::string currentFolder();

// File name of the running executable without folder and extension.
std::string programBaseName();

// The parameters after the program name. Double quotes never reach a parameter:
// on POSIX the shell has already split the line, and any quote character left
// in an argument is dropped.
std::vector<std::string> commandLineParameters(int argc, char** argv);

// The id of this process.
int currentProcessId();

// True while a process with this id exists on this machine (ours included).
// An id may be reused by an unrelated process: a true answer means "perhaps
// still running", a false one that the process is gone.
bool processIsRunning(int processId);
