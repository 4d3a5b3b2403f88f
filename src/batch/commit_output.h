#pragma once

#include <string>

#include "platform/files.h"

// Puts a finished file in place: writes bytes to a new temporary file beside
// outputPath (named by temporaryPathBeside), checking every write and the
// close, and renames it over outputPath only when it is complete. On any
// failure (a full disk, a file-size limit, an I/O error, a path that cannot
// be created) the temporary file is removed, an existing output stays as it
// was, and *reason holds the system's text. While the file is written it is
// the one an interrupting signal removes; where the file system allows, it
// has no name at all until it is complete, so even a process killed outright
// leaves nothing. The first write into a folder removes what writers killed
// outright left there (removeAbandonedTemporaryFiles). temporaryPath (when
// given) receives the temporary name that was used.
bool commitOutput(const std::string& bytes, const std::string& outputPath, std::string* reason,
                  std::string* temporaryPath = nullptr);

// commitOutput for a file whose bytes come from source in pieces (written as
// they come, never gathered into one piece in memory).
bool commitOutput(const ByteSource& source, const std::string& outputPath, std::string* reason,
                  std::string* temporaryPath = nullptr);

// commitOutput for a file already written without a name (writeUnnamedFile):
// only the naming is left. On failure the file stays unnamed.
bool commitWrittenOutput(UnnamedFile& file, const std::string& outputPath, std::string* reason,
                         std::string* temporaryPath = nullptr);
