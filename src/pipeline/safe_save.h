#pragma once

#include <functional>
#include <string>

// Writes a file through a temporary one so that a failed save never destroys
// the previous output and never leaves a partly written file behind.
//
// write is called with temporaryPath and returns true when the file there is
// complete. Only then is it renamed over outputPath; otherwise (or when the
// rename fails) the temporary file is removed and outputPath is untouched.
// While write runs, the temporary file is the one an interrupting signal
// removes. A library message reported during write also fails the save.
bool saveThroughTemporary(const std::string& temporaryPath, const std::string& outputPath,
                          const std::function<bool(const std::string& path)>& write);
