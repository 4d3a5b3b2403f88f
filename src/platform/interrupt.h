#pragma once

#include <string>

// Removes the temporary output file being written when the process is ended by
// SIGINT, SIGTERM or SIGHUP, so no partly written file survives under any name.
void installInterruptCleanup();

// Names the temporary file that is being written now (empty: none).
void setPendingTemporaryFile(const std::string& path);
